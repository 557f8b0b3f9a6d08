// The amplifier circuit model as one object: the host-rate processing frame around the
// internal-rate circuit (tone low-pass, preamp block, power block), with the filter
// coefficients and every per-channel state. Platform-free; the effect owns one per instance.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include "cab/CabinetStage.h"
#include "model/BypassDelay.h"
#include "model/ModelState.h"
#include "model/PairWindow.h"
#include "model/ParameterRamp.h"
#include "model/ToneFilter.h"
#include "model/TransformerFilters.h"

class ValveTables;

class AmpModel {
 public:
  // Any thread (the effect's constructor). The valve tables are built once per process and
  // shared; the model starts in a settled idle state (computed ahead of time, see settle):
  // the one of the default program, or, if the first block's settings put the circuit at a
  // different idle point (supply feedback, output tap), the one of those. So a new instance
  // emits no start-up burst. The effect need not call initModel at construction: doing so would
  // bring the burst back.
  AmpModel();

  // Dispatcher thread, never while processReplacing runs. Resets every model state to the
  // circuit's reset values (all zero, the supply nodes at 270 V, the phase at 0). Coefficients
  // and the host rate are kept. Not needed at construction.
  void initModel();

  // Dispatcher thread, never while processReplacing runs. Like initModel, but lands in the
  // settled idle state a fresh instance starts from (chosen again by the next block's settings).
  void resetToIdle();

  // Any thread, the audio thread included (a host may automate the tone from it): the tone
  // (0..1) and the two rates the filters are tuned from. Each value is one store; nothing waits.
  // The audio thread retunes the tone low-pass, the 100 Hz sections and the host period at the
  // start of the next block whose settings differ from those it last tuned for, so a block
  // never runs on a half-updated set. A non-finite or unusable value is ignored (its previous
  // value stays); tone is clamped to 0..1.
  void updateCoefficients(float tone, float internalRate, float hostRate);

  // Any thread, like updateCoefficients. The host period follows the host rate, so the internal
  // clock stays at 192 kHz for every host rate; rates that acceptsHostRate refuses are ignored.
  void setHostRate(float hostRate);

  // The host rates the model runs at: 1 kHz to 10 MHz. The effect refuses every other rate
  // before it changes anything, so the model, the reported delay and the host's view agree.
  static constexpr bool acceptsHostRate(float hostRate) { return hostRate >= 1000.0f && hostRate <= 1.0e7f; }

  // Audio thread. inputs[0..1] and outputs[0..1] hold sampleFrames samples and may alias. params
  // are the twelve live parameter values (model/ParameterIndex.h). When secondChannelActive is
  // false only channel 1 is computed and outputs[1] (if not null) receives a copy of outputs[0]. The block's
  // meter peaks (0..1) are stored through meterLevel1/2. A NaN or infinite host sample enters the circuit as
  // 0 (with the power off the raw input still passes unchanged, delayed by reportedDelay); should the
  // circuit's state ever become non-finite it restarts from idle. A changed gain, volume or mix, supply, tap
  // or power setting takes effect over a few milliseconds, never as a jump. The circuits run in vector lanes,
  // two channels at once (with one channel active, the second lane runs along), giving each channel exactly
  // the values of the one-channel code. Null pointers are refused. Allocates nothing, locks nothing;
  // flush-to-zero is on while it runs.
  void processReplacing(const float* const* inputs, float* const* outputs, int32_t sampleFrames,
                        const float* params, bool secondChannelActive, float* meterLevel1,
                        float* meterLevel2);

  // The instructions the circuit runs with: those of any x86-64 processor, or AVX where the
  // processor and the system support it. Both compute the same operations in the same order
  // (the three-operand AVX forms only save the register copies), so the output is identical; a
  // model takes AVX when it can.
  enum class InstructionSet { kBaseline, kAvx };
  // Dispatcher thread (tests, diagnostics), never while processReplacing runs. False, and no
  // change, where the set is not available.
  bool useInstructionSet(InstructionSet set);
  InstructionSet instructionSet() const { return avx_ ? InstructionSet::kAvx : InstructionSet::kBaseline; }

  // For inspection (tests, diagnostics), not while processReplacing runs: the current state.
  const ModelState& state() const { return state_; }

  // The speaker cabinet behind the amplifier, for its control side (rates, the user's response;
  // see CabinetStage for the threads). The model drives its audio side.
  CabinetStage& cabinet() { return cabinet_; }
  const CabinetStage& cabinet() const { return cabinet_; }

  // Any thread (the generator of the settled states and its check; 20 to 60 ms each): the idle
  // state of idle key 0..3 (bit 0 the supply feedback, bit 1 the power-stage tap), found by
  // running the circuit on silence with the default program until it sits at its operating point.
  static constexpr int kIdleStates = 4;
  static ModelState settle(int key);

  // The internal step, 1/192000 s, and the steps per second.
  static constexpr float kInternalStep = 5.2083333e-6f;
  static constexpr float kStepsPerSecond = 192000.0f;
  // The delay of the linear path (mix 0) in host samples, as the host is told. A step at time t
  // (in host periods) is fed the host signal at t - kHostTaps / 2, the middle of the input
  // kernel; the down-sampling low-pass delays it by 6.157 internal steps at low frequencies, and
  // each output is read half the output kernel's width behind the end of its host period. The
  // host-rate part is fixed in host samples, the internal part in time: 14 at 44.1 kHz and 15 at
  // 48 kHz (0.32 and 0.31 ms), 18 at 96 kHz, 25 at 192 kHz.
  static constexpr int kHostTaps = HostKernel::kTaps;
  static constexpr float kDelaySteps = 0.5f * StepKernel::kTaps + 6.157f;
  static constexpr int reportedDelay(float hostRate) {
    return acceptsHostRate(hostRate) ? static_cast<int>(static_cast<float>(kHostTaps / 2 - 1) +
                                                        kDelaySteps * hostRate / kStepsPerSecond + 0.5f)
                                     : 0;
  }
  // Host samples beyond this magnitude are clipped before they reach the circuit (+30 dBFS).
  static constexpr float kInputLimit = 31.622776f;

 private:
  struct Unsettled {};
  explicit AmpModel(Unsettled);

  // The settled idle states, one per idle key, taken once per process from those computed ahead
  // of time for this platform's tables, or settled here when there are none for them.
  static const ModelState* idleStates();

  struct BlockSettings;
  // The block loop (both channel modes run in vector lanes), and the same compiled for each
  // instruction set; runBlock calls the one the model uses.
  template <bool kStereo>
  void processBlock(const float* in1, const float* in2, float* out1, float* out2, int32_t sampleFrames,
                    const BlockSettings& block, float& peak1, float& peak2);
  template <bool kStereo>
  void processBlockBaseline(const float* in1, const float* in2, float* out1, float* out2,
                            int32_t sampleFrames, const BlockSettings& block, float& peak1, float& peak2);
  template <bool kStereo>
  void processBlockAvx(const float* in1, const float* in2, float* out1, float* out2, int32_t sampleFrames,
                       const BlockSettings& block, float& peak1, float& peak2);
  template <bool kStereo>
  void runBlock(const float* in1, const float* in2, float* out1, float* out2, int32_t sampleFrames,
                const BlockSettings& block, float& peak1, float& peak2);
  Float4 circuitStep(CircuitStateT<Float4>& c, Float4 u, const BlockSettings& block);
  void startTransitions(const BlockSettings& target, int32_t sampleFrames);
  bool advanceTransitions(BlockSettings& s);
  void handOver(int configuration);
  void retune();
  bool stateFinite() const;

  const ValveTables* tables_;
  const HostKernel* hostKernel_;
  const StepKernel* stepKernel_;
  const ModelState* idle_ = nullptr;
  int idleKey_ = 0;     // which settled state state_ was taken from
  bool fresh_ = false;  // state_ is a settled state no block has advanced yet
  float dcPole_;
  bool avx_;
  ModelState state_;
  // Both channels' circuits in vector lanes while a block runs, with the host values the steps
  // read and the outputs the host samples read.
  CircuitStateT<Float4> lanes_;
  PairWindow<HostKernel::kTaps> hostWindow_;
  PairWindow<StepKernel::kTaps> stepWindow_;

  // Everything the audio thread tunes from the settings: owned by the audio thread.
  struct FrameCoefficients {
    ToneCoefficients tone;
    PeakingCoefficients cut;   // 100 Hz, -12 dB, ahead of the circuit
    PeakingCoefficients lift;  // 100 Hz, +12 dB, behind it
    float hostPeriod = 1.0f / 44100.0f;
    int bypassDelay = 14;  // host samples the bypassed input is delayed by: the reported delay
    // The transitions' lengths in host samples and the fades' steps per host sample.
    int rampSamples = 1;      // shortest ramp of volume and mix
    int gainRampSamples = 1;  // shortest ramp of the gain
    float switchStep = 1.0f;  // a configuration change's fade
    float bypassStep = 1.0f;  // the power switch's crossfade
  };
  FrameCoefficients live_;
  // The settings live_ was tuned for (NaN: not tuned yet).
  float tunedTone_ = std::numeric_limits<float>::quiet_NaN();
  float tunedInternalRate_ = std::numeric_limits<float>::quiet_NaN();
  float tunedHostRate_ = std::numeric_limits<float>::quiet_NaN();

  // The settings, written by any thread with one store each.
  std::atomic<float> tone_{0.5f};
  std::atomic<float> internalRate_{192000.0f};
  std::atomic<float> hostRate_{44100.0f};

  // Changes take effect over a few milliseconds, sample by sample (the block values are what
  // the changes head for). moving_: some transition is under way; snap_: the next block's
  // values are taken at once (a new instance, a reset).
  bool moving_ = false;
  bool snap_ = true;
  ParameterRamp gain_{ParameterRamp::Shape::kRatio};
  ParameterRamp volume_{ParameterRamp::Shape::kLinear};
  ParameterRamp mix_{ParameterRamp::Shape::kLinear};
  // The dry share divides the up-sampled signal by the gain it was multiplied with, which
  // reaches the circuit a few host samples after it was applied: the last gains applied, and
  // how far back the circuit's input lies (host samples: the middle of the input kernel).
  static constexpr int kGainHistory = 16;
  static constexpr int kDryDelay = kHostTaps / 2;
  static_assert(kDryDelay < kGainHistory, "the gain history reaches the circuit's input");
  float gainHistory_[kGainHistory] = {};
  int gainAt_ = 0;
  int gainSettling_ = 0;  // host samples until the dry divisor has caught up with the ramp
  // A change of supply feedback, output tap or drive moves the circuit's operating point,
  // which would be heard as a thump: the output fades out in the old configuration, the circuit
  // takes the settled state of the new one, and the output fades in.
  int configuration_ = 0;  // the configuration the circuit runs in (see configuration())
  int wantedConfiguration_ = 0;
  float switchLevel_ = 1.0f;
  // The power switch crossfades between the processed output (weight bypass_) and the input
  // delayed by the reported latency.
  float bypass_ = 1.0f;
  float bypassTarget_ = 1.0f;
  BypassDelay bypassDelay_;
  // After the output level, the output transformer's filters and the mix, before the power
  // switch; off, it is not run at all, and the output is that of the amplifier alone.
  CabinetStage cabinet_;
  // With the cabinet on while the power switch moves or is off, a block runs in runs of at most
  // kCabinetRun samples: the amplifier's output for the run, and for each sample what the power
  // switch makes of it (the processed signal, the delayed input, or the processed signal weighted
  // and the input's share added). Otherwise the cabinet takes the whole block after the circuit,
  // in one call.
  enum class PowerSwitch : uint8_t { kProcessed, kInput, kBlend };
  static constexpr int kCabinetRun = 256;
  struct CabinetRun {
    float amp[2][kCabinetRun];
    float dry[2][kCabinetRun];
    float weight[kCabinetRun];
    PowerSwitch kind[kCabinetRun];
  };
  CabinetRun run_;
};
