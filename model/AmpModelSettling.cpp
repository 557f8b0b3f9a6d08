// The model's idle settling: the settled states a fresh or reset instance starts from, and how
// one is found by running the circuit on silence.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "model/AmpModel.h"
#include "model/ParameterIndex.h"
#include "model/SettledStates.h"
#include "model/ValveTables.h"

namespace {

// How long the idle circuit is run (at 44.1 kHz) before its state is taken as the settled one:
// well past the jump to the operating point and the output DC blocker's settling (about 70 ms).
// With the power-stage tap the idle circuit keeps a small chatter for about 1.2 s before it
// comes to rest, so those two settings run longer. Afterwards the output stays near -85 dBFS.
constexpr int kSettleSamples[4] = {22050, 22050, 66150, 66150};

}  // namespace

const ModelState* AmpModel::idleStates() {
  // Built once, thread-safely, by the first instance. Settling all four takes the circuit
  // through about four seconds of audio, which would be most of a first instance's cost; they
  // are computed ahead of time (tools/settle) for the tables of each platform we build for.
  struct Settled {
    ModelState state[kIdleStates];
  };
  static const Settled settled = [] {
    Settled all;
    static_assert(std::is_trivially_copyable<ModelState>::value && sizeof(ModelState) % 4 == 0,
                  "a settled state is kept as 32-bit words");
    const std::uint32_t* words =
        settledStates(ValveTables::shared().fingerprint(), sizeof(ModelState) / 4, kIdleStates);
    for (int key = 0; key < kIdleStates; ++key) {
      if (words != nullptr) {
        std::memcpy(static_cast<void*>(&all.state[key]), words + key * (sizeof(ModelState) / 4),
                    sizeof(ModelState));
      } else {
        all.state[key] = settle(key);
      }
    }
    return all;
  }();
  return settled.state;
}

ModelState AmpModel::settle(int key) {
  float params[kNumParams] = {0.5f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  params[kParamPowerSupply] = (key & 1) != 0 ? 1.0f : 0.0f;
  params[kParamOutputTap] = (key & 2) != 0 ? 1.0f : 0.0f;
  AmpModel m{Unsettled{}};
  constexpr int kBlock = 256;
  float in[kBlock] = {};
  float out0[kBlock];
  float out1[kBlock];
  const float* inputs[2] = {in, in};
  float* outputs[2] = {out0, out1};
  for (int done = 0; done < kSettleSamples[key & (kIdleStates - 1)]; done += kBlock) {
    m.processReplacing(inputs, outputs, kBlock, params, false, nullptr, nullptr);
  }
  // One channel is run and copied to the other (both compute the same circuit).
  ModelState state = m.state_;
  state.channel[1].circuit = state.channel[0].circuit;
  return state;
}

void AmpModel::initModel() {
  state_ = ModelState();
  fresh_ = false;
  snap_ = true;
  cabinet_.snap();
  bypassDelay_.clear();
}

void AmpModel::resetToIdle() {
  state_ = idle_[0];
  idleKey_ = 0;
  fresh_ = true;
  snap_ = true;
  cabinet_.snap();
  bypassDelay_.clear();
}
