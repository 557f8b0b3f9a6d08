// The model's construction, its frame loop with the transitions, and the choice of instruction
// set the loop runs with. Idle settling is in AmpModelSettling.cpp, coefficient publication in
// AmpModelTuning.cpp, the parameter mapping in ParameterMapping.h.
#include "model/AmpModel.h"

#include <cmath>

#include "cab/CabinetChoice.h"
#include "model/DenormalGuard.h"
#include "model/ParameterIndex.h"
#include "model/ParameterMapping.h"
#include "model/PowerBlockLanes.h"
#include "model/PreampBlockLanes.h"
#include "model/ValveTables.h"

namespace {

static_assert(AmpModel::reportedDelay(1.0e7f) < BypassDelay::kCapacity,
              "the bypass line holds the longest delay");

// A host sample as it enters the circuit: NaN and infinities as silence, absurd values clipped.
float hostSample(float v) {
  if (!std::isfinite(v)) return 0.0f;
  v = v > -AmpModel::kInputLimit ? v : -AmpModel::kInputLimit;
  return v < AmpModel::kInputLimit ? v : AmpModel::kInputLimit;
}

// Meter position of one gained sample: dB relative to the gain, mapped from -72..0 dB to 0..1.
float meterPosition(float x, float gain) {
  const float a = static_cast<float>(std::fabs(static_cast<double>(x)));
  const float level = a > 1e-4f ? 20.0f * std::log10(gain * 2.0f * a) : -80.0f;
  float v = (level + 72.0f) * 0.013888889f;
  v = v > 0.0f ? v : 0.0f;
  return v < 1.0f ? v : 1.0f;
}

// Whether this processor and system run AVX instructions (the processor's flag, and the system
// saving the wide registers).
bool avxAvailable() {
#if defined(__x86_64__)
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
  }();
  return available;
#else
  return false;
#endif
}

bool finite(const float* v, int n) {
  float acc = 0.0f;
  for (int k = 0; k < n; ++k) acc += v[k] * 0.0f;  // NaN as soon as one value is not finite
  return acc == 0.0f;
}

template <typename F>
bool finite(const F* v, int n) {
  F acc = F{};
  for (int k = 0; k < n; ++k) acc += v[k] * 0.0f;  // NaN as soon as one value is not finite
  return finite(reinterpret_cast<const float*>(&acc), sizeof(F) / sizeof(float));
}

bool finite(const ChannelState& c) {
  const float loose[] = {c.inputTransformer.s1,
                         c.inputTransformer.s2,
                         c.cut.x1,
                         c.cut.x2,
                         c.cut.y1,
                         c.cut.y2,
                         c.lift.x1,
                         c.lift.x2,
                         c.lift.y1,
                         c.lift.y2};
  return finite(loose, sizeof(loose) / sizeof(loose[0])) &&
         finite(reinterpret_cast<const float*>(&c.circuit), sizeof(CircuitState) / sizeof(float));
}

// Both channels' host-rate filter states and interpolation histories in the lanes of one vector
// (lanes 0 and 2 channel 1, lanes 1 and 3 channel 2), for a block's run.
struct HostLanes {
  InputTransformerStateT<Float4> inputTransformer;
  PeakingStateT<Float4> cut;
  PeakingStateT<Float4> lift;

  static HostLanes pack(const ChannelState& c1, const ChannelState& c2) {
    HostLanes h;
    h.inputTransformer = {lanes(c1.inputTransformer.s1, c2.inputTransformer.s1),
                          lanes(c1.inputTransformer.s2, c2.inputTransformer.s2)};
    h.cut = pack(c1.cut, c2.cut);
    h.lift = pack(c1.lift, c2.lift);
    return h;
  }
  void unpack(ChannelState& c1, ChannelState& c2) const {
    c1.inputTransformer = {inputTransformer.s1[0], inputTransformer.s2[0]};
    c2.inputTransformer = {inputTransformer.s1[1], inputTransformer.s2[1]};
    unpack(cut, c1.cut, c2.cut);
    unpack(lift, c1.lift, c2.lift);
  }

 private:
  static PeakingStateT<Float4> pack(const PeakingState& a, const PeakingState& b) {
    return {lanes(a.x1, b.x1), lanes(a.x2, b.x2), lanes(a.y1, b.y1), lanes(a.y2, b.y2)};
  }
  static void unpack(const PeakingStateT<Float4>& v, PeakingState& a, PeakingState& b) {
    a = {v.x1[0], v.x2[0], v.y1[0], v.y2[0]};
    b = {v.x1[1], v.x2[1], v.y1[1], v.y2[1]};
  }
};

}  // namespace

AmpModel::AmpModel(Unsettled)
    : tables_(&ValveTables::shared()),
      hostKernel_(&HostKernel::shared()),
      stepKernel_(&StepKernel::shared()),
      dcPole_(dcBlockerPole()),
      avx_(avxAvailable()) {
  retune();
}

AmpModel::AmpModel() : AmpModel(Unsettled{}) {
  idle_ = idleStates();
  resetToIdle();
}

bool AmpModel::useInstructionSet(InstructionSet set) {
  if (set == InstructionSet::kAvx && !avxAvailable()) return false;
  avx_ = set == InstructionSet::kAvx;
  return true;
}

bool AmpModel::stateFinite() const {
  return finite(state_.channel[0]) && finite(state_.channel[1]) &&
         finite(state_.hostWindow, sizeof(state_.hostWindow) / sizeof(float));
}

// What holds for a whole block, from the parameters at block entry.
struct AmpModel::BlockSettings {
  float gain;
  float invGain;
  float volume;
  bool powerOn;
  bool inputTransformerOn;
  bool outputTransformerOn;
  bool supplyOn;
  float drive;
  float invDrive;
  PowerSettings power;
};

// One internal step of both channels' circuits: tone low-pass, preamp block, power block, which
// also mixes in the dry value u / g.
inline Float4 AmpModel::circuitStep(CircuitStateT<Float4>& c, Float4 u, const BlockSettings& b) {
  const Float4 toneOut = ToneFilter::process(live_.tone, c.tone, u);
  const PreampResultT<Float4> pre =
      PreampBlock::process(c.preamp, *tables_, toneOut, b.drive, b.invDrive, b.supplyOn, c.power.supply,
                           c.power.feedback, dcPole_);
  return PowerBlock::process(c.power, *tables_, pre.powerInput, pre.coupling, pre.tap, u * b.invGain, b.power,
                             dcPole_);
}

void AmpModel::processReplacing(const float* const* inputs, float* const* outputs, int32_t sampleFrames,
                                const float* params, bool secondChannelActive, float* meterLevel1,
                                float* meterLevel2) {
  const DenormalGuard denormals;
  float peak1 = 0.0f;
  float peak2 = 0.0f;
  const bool usable = inputs != nullptr && outputs != nullptr && params != nullptr && inputs[0] != nullptr &&
                      inputs[1] != nullptr && outputs[0] != nullptr;
  if (usable && sampleFrames > 0) {
    retune();
    BlockSettings b;
    const float p0 = parameterValue(params[kParamGain]);
    const float t = 0.9f * p0 + 0.1f;
    b.gain = t * t;
    b.invGain = 1.0f / b.gain;
    b.volume = parameterValue(params[kParamVolume]);
    const float p3 = parameterValue(params[kParamMix]);
    b.power.mix = p3 * p3 * p3;
    b.power.dry = 1.0f - b.power.mix;
    b.powerOn = switchIsOn(kParamPower, params[kParamPower]);
    b.inputTransformerOn = switchIsOn(kParamInputTransformer, params[kParamInputTransformer]);
    b.outputTransformerOn = switchIsOn(kParamOutputTransformer, params[kParamOutputTransformer]);
    const float p10 = parameterValue(params[kParamOutputTap]);
    b.power.tapPower = switchIsOn(kParamOutputTap, p10);
    b.drive = p10 > 0.0f ? 1.0f : 8.0f;
    b.invDrive = 1.0f / b.drive;
    b.supplyOn = switchIsOn(kParamPowerSupply, params[kParamPowerSupply]);

    // A fresh instance meets its first settings: start from the idle point that fits them (the
    // hosts set a project's parameters before the first block), so no settling burst is heard.
    const int key = idleKey(params);
    if (fresh_) {
      if (key != idleKey_) state_ = idle_[key];
      fresh_ = false;
    }
    wantedConfiguration_ = circuitConfiguration(params);
    startTransitions(b, sampleFrames);
    cabinet_.beginBlock(CabinetChoice::fromValue(params[kParamCab]), 1.0f / live_.hostPeriod);

    CircuitState& circuit1 = state_.channel[0].circuit;
    CircuitState& circuit2 = state_.channel[1].circuit;
    if (secondChannelActive && outputs[1] != nullptr) {
      CircuitLanes::pack(circuit1, circuit2, lanes_);
      runBlock<true>(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames, b, peak1, peak2);
      CircuitLanes::unpack(lanes_, circuit1, circuit2);
    } else {
      // One channel: channel 2's down-sampler and output window keep running (on channel 1's
      // circuit output) while its circuit rests. Lane 1 computes a copy of channel 1's circuit,
      // which is dropped afterwards; it costs nothing extra, as the lanes run anyway.
      CircuitState second = circuit1;
      second.downsampler = circuit2.downsampler;
      for (int k = 0; k < StepKernel::kTaps; ++k) second.recent[k] = circuit2.recent[k];
      CircuitLanes::pack(circuit1, second, lanes_);
      runBlock<false>(inputs[0], inputs[1], outputs[0], nullptr, sampleFrames, b, peak1, peak2);
      CircuitLanes::unpack(lanes_, circuit1, second);
      circuit2.downsampler = second.downsampler;
      for (int k = 0; k < StepKernel::kTaps; ++k) circuit2.recent[k] = second.recent[k];
      // A mono track (second input unconnected) still plays on both sides: the second output
      // carries channel 1's sound instead of the host's stale or silent buffer. Copied after
      // the block, as the second output may alias an input the block still reads.
      if (float* out2 = outputs[1]; out2 != nullptr && out2 != outputs[0]) {
        for (int32_t i = 0; i < sampleFrames; ++i) out2[i] = outputs[0][i];
      }
    }

    // A backstop: should the circuit ever leave the finite numbers, it restarts from idle
    // instead of staying silent (or NaN) for good.
    if (!stateFinite()) {
      state_ = idle_ != nullptr ? idle_[key] : ModelState();
      configuration_ = wantedConfiguration_;
    }
  }
  if (meterLevel1 != nullptr) *meterLevel1 = peak1;
  if (meterLevel2 != nullptr) *meterLevel2 = peak2;
}

// Audio thread, at block entry: the transitions towards this block's values. A change starts a
// ramp over 10 ms, or over the block where the block is longer, so values automated block by
// block follow a continuous line instead of steps.
void AmpModel::startTransitions(const BlockSettings& b, int32_t sampleFrames) {
  bypassTarget_ = b.powerOn ? 1.0f : 0.0f;
  if (snap_) {
    snap_ = false;
    gain_.set(b.gain);
    for (float& g : gainHistory_) g = b.gain;
    gainSettling_ = 0;
    volume_.set(b.volume);
    mix_.set(b.power.mix);
    configuration_ = wantedConfiguration_;
    switchLevel_ = 1.0f;
    bypass_ = bypassTarget_;
  }
  const int ramp = sampleFrames > live_.rampSamples ? sampleFrames : live_.rampSamples;
  if (b.gain != gain_.target()) {
    const int gainRamp = sampleFrames > live_.gainRampSamples ? sampleFrames : live_.gainRampSamples;
    gain_.start(b.gain, gainRamp);
    gainSettling_ = gainRamp + kGainHistory;
  }
  if (b.volume != volume_.target()) volume_.start(b.volume, ramp);
  if (b.power.mix != mix_.target()) mix_.start(b.power.mix, ramp);
  moving_ = gainSettling_ > 0 || volume_.moving() || mix_.moving() ||
            wantedConfiguration_ != configuration_ || switchLevel_ != 1.0f || bypass_ != bypassTarget_;
}

// Audio thread, once per host sample while a transition is under way: this sample's values into
// s. Answers whether any transition goes on after this sample.
bool AmpModel::advanceTransitions(BlockSettings& s) {
  bool moving = false;
  if (gainSettling_ > 0) {
    --gainSettling_;
    s.gain = gain_.advance();
    gainAt_ = (gainAt_ + 1) & (kGainHistory - 1);
    gainHistory_[gainAt_] = s.gain;
    s.invGain = 1.0f / gainHistory_[(gainAt_ - kDryDelay) & (kGainHistory - 1)];
    moving = gainSettling_ > 0;
  }
  if (volume_.moving()) {
    s.volume = volume_.advance();
    moving = moving || volume_.moving();
  }
  if (mix_.moving()) {
    s.power.mix = mix_.advance();
    s.power.dry = 1.0f - s.power.mix;
    moving = moving || mix_.moving();
  }
  if (wantedConfiguration_ != configuration_) {
    switchLevel_ = switchLevel_ - live_.switchStep;
    if (switchLevel_ <= 0.0f) {
      switchLevel_ = 0.0f;
      handOver(wantedConfiguration_);
    }
    moving = true;
  } else if (switchLevel_ < 1.0f) {
    switchLevel_ = switchLevel_ + live_.switchStep;
    if (switchLevel_ >= 1.0f) switchLevel_ = 1.0f;
    moving = moving || switchLevel_ < 1.0f;
  }
  s.supplyOn = (configuration_ & 1) != 0;
  s.power.tapPower = (configuration_ & 2) != 0;
  s.drive = (configuration_ & 4) != 0 ? 1.0f : 8.0f;
  s.invDrive = 1.0f / s.drive;
  if (bypass_ < bypassTarget_) {
    bypass_ = bypass_ + live_.bypassStep;
    if (bypass_ >= bypassTarget_) bypass_ = bypassTarget_;
  } else if (bypass_ > bypassTarget_) {
    bypass_ = bypass_ - live_.bypassStep;
    if (bypass_ <= bypassTarget_) bypass_ = bypassTarget_;
  }
  return moving || bypass_ != bypassTarget_;
}

// Audio thread, with the output faded out: the circuit takes the settled state of the new
// configuration (its preamp and power blocks; the tone filter and the resamplers carry the
// signal, which the configuration does not change).
void AmpModel::handOver(int configuration) {
  configuration_ = configuration;
  if (idle_ == nullptr) return;
  const CircuitState& idle = idle_[configuration & (kIdleStates - 1)].channel[0].circuit;
  CircuitStateT<Float4> settled;
  CircuitLanes::pack(idle, idle, settled);
  lanes_.preamp = settled.preamp;
  lanes_.power = settled.power;
}

template <bool kStereo>
void AmpModel::runBlock(const float* in1, const float* in2, float* out1, float* out2, int32_t sampleFrames,
                        const BlockSettings& b, float& peak1, float& peak2) {
  if (avx_) {
    processBlockAvx<kStereo>(in1, in2, out1, out2, sampleFrames, b, peak1, peak2);
  } else {
    processBlockBaseline<kStereo>(in1, in2, out1, out2, sampleFrames, b, peak1, peak2);
  }
}

// The block loop with everything it calls compiled into it, once for any x86-64 and once with
// AVX. Only the AVX function and what is inlined into it use AVX instructions (the target
// applies to it alone), so no code shared with the rest of the program can carry them to a
// processor without AVX. The AVX form keeps to 16-byte vectors: the 64-bit Windows compiler
// cannot align 32-byte values on the stack, and the lanes are 16 bytes anyway.
template <bool kStereo>
__attribute__((flatten)) void AmpModel::processBlockBaseline(const float* in1, const float* in2, float* out1,
                                                             float* out2, int32_t sampleFrames,
                                                             const BlockSettings& b, float& peak1,
                                                             float& peak2) {
  processBlock<kStereo>(in1, in2, out1, out2, sampleFrames, b, peak1, peak2);
}

template <bool kStereo>
#if defined(__x86_64__)
__attribute__((target("avx,prefer-vector-width=128"), flatten))
#endif
void AmpModel::processBlockAvx(const float* in1, const float* in2, float* out1, float* out2, int32_t sampleFrames,
                               const BlockSettings& b, float& peak1, float& peak2) {
  processBlock<kStereo>(in1, in2, out1, out2, sampleFrames, b, peak1, peak2);
}

// The host-rate loop, with both channels' circuits in the vector lanes (lanes_, packed by the
// caller). kStereo: channel 2 is computed and written; otherwise lane 1 carries channel 2's
// resamplers around a copy of channel 1's circuit, and outputs[1] is not touched.
template <bool kStereo>
void AmpModel::processBlock(const float* in1, const float* in2, float* out1, float* out2,
                            int32_t sampleFrames, const BlockSettings& b, float& peak1, float& peak2) {
  ChannelState& c1 = state_.channel[0];
  ChannelState& c2 = state_.channel[1];
  BlockSettings s = b;
  // The host-rate filters run in the lanes as well, both channels in one vector, for the block;
  // the windows of host values and internal outputs are taken out of the state for it.
  HostLanes host = HostLanes::pack(c1, c2);
  hostWindow_.load(state_.hostWindow);
  stepWindow_.load(lanes_.recent);
  // Once no transition moves the gain, the meter position grows with the magnitude alone: the
  // largest magnitude gives the largest position, and the logarithm is taken once, at the end.
  float largest1 = 0.0f;
  float largest2 = 0.0f;
  // With a cabinet, the amplifier's output goes through it in the output buffers, the whole block
  // at once. While the power switch moves or is off, the amplifier's output goes to run_ instead,
  // a run at a time, and the switch's choice for each sample is kept there until the cabinet's
  // output is ready.
  const bool cabinet = cabinet_.running();
  const bool switching = cabinet && (moving_ || !b.powerOn);
  for (int32_t begin = 0; begin < sampleFrames;) {
    const int32_t end = switching && sampleFrames - begin > kCabinetRun ? begin + kCabinetRun : sampleFrames;
    for (int32_t i = begin; i < end; ++i) {
      const float period = live_.hostPeriod;
      // Read both raw samples before any output is written: the buffers may alias.
      const float raw1 = in1[i];
      const float raw2 = in2[i];
      bypassDelay_.push(raw1, raw2);
      const bool moving = moving_;
      if (moving) moving_ = advanceTransitions(s);

      float d1, d2;
      state_.dither.pair(d1, d2);
      float x1 = d1 + s.gain * hostSample(raw1);
      float x2 = d2 + s.gain * hostSample(raw2);

      if (moving) {
        const float v1 = meterPosition(x1, s.gain);
        if (v1 > peak1) peak1 = v1;
        const float v2 = meterPosition(x2, s.gain);
        if (v2 > peak2) peak2 = v2;
      } else {
        const float a1 = std::fabs(x1);
        const float a2 = std::fabs(x2);
        largest1 = a1 > largest1 ? a1 : largest1;
        largest2 = a2 > largest2 ? a2 : largest2;
      }

      // Host-rate filters run whether or not they are switched in, so switching is seamless.
      Float4 x = lanes(x1, x2);
      const Float4 t = TransformerFilters::inputTransformer(host.inputTransformer, x);
      if (b.inputTransformerOn) x = t;
      const Float4 k = TransformerFilters::peaking(live_.cut, host.cut, x);
      if (b.outputTransformerOn) x = k;

      // As many internal steps as the 192 kHz clock passes within this host period (4 or 5 at
      // 44.1 kHz, none at all for some host samples above 192 kHz). A step taken at phase t into
      // host period n is fed the host signal at time n + t/T - kHostTaps/2 (in host periods), read
      // from the newest kHostTaps host values with the band-limited kernel. So each step sees the
      // signal at its own time, a fixed number of host periods behind, however the steps fall.
      //
      // The steps are taken in batches: first the input reads for every step of the batch, then
      // the circuit, with the down-sampler one step behind it, so the circuit's long dependency
      // chain never waits for the reads, and the down-sampler's step for the previous circuit
      // output fills the chain's idle cycles.
      hostWindow_.reserve(1);
      hostWindow_.push(x);
      const float invPeriod = 1.0f / period;
      float phase = state_.stepPhase;
      constexpr int kBatch = 8;
      Float4 u[kBatch];
      Float4 q[kBatch];
      while (phase < period) {
        int n = 0;
        for (; n < kBatch && phase < period; ++n) {
          Float4 w[HostKernel::kGroups];
          hostKernel_->weights(1.0f - phase * invPeriod, w);
          u[n] = hostWindow_.dot(w);
          phase = phase + kInternalStep;
        }
        stepWindow_.reserve(n);
        for (int j = 0; j < n; ++j) {
          // With one channel, the second lane's circuit copy runs on channel 1's signal too, so
          // channel 2's down-sampler is fed channel 1's circuit output.
          const Float4 in = kStereo ? u[j] : __builtin_shufflevector(u[j], u[j], 0, 0, 2, 2);
          q[j] = circuitStep(lanes_, in, s);
          if (j > 0) stepWindow_.push(ResamplingFilter::process(lanes_.downsampler, q[j - 1]));
        }
        stepWindow_.push(ResamplingFilter::process(lanes_.downsampler, q[n - 1]));
      }
      phase = phase - period;
      state_.stepPhase = phase;

      // The output is read half the output kernel's width (kTaps/2 internal steps) before the end
      // of this host period. The last step was taken at (T + phase - Ts) into this period, so the
      // newest output lies kTaps/2 - 1 + phase/Ts steps after the read time. The phase
      // stays within 0..Ts at every host rate (the kernel clamps what rounding puts outside).
      Float4 w[StepKernel::kGroups];
      stepKernel_->weights(phase * kStepsPerSecond, w);
      Float4 o = s.volume * stepWindow_.dot(w);
      // With one channel, channel 2's output is channel 1's.
      if constexpr (!kStereo) o = __builtin_shufflevector(o, o, 0, 0, 2, 2);
      const Float4 l = TransformerFilters::peaking(live_.lift, host.lift, o);
      if (b.outputTransformerOn) o = l;
      float o1 = o[0];
      float o2 = o[1];
      if (moving) {
        o1 = o1 * switchLevel_;
        o2 = o2 * switchLevel_;
      }
      // Bypassed, the input leaves exactly as it came, as late as the processed signal.
      const int delay = live_.bypassDelay;
      PowerSwitch kind = PowerSwitch::kProcessed;
      float dry1 = 0.0f, dry2 = 0.0f;
      if (moving) {
        if (bypass_ == 0.0f) {
          kind = PowerSwitch::kInput;
          dry1 = bypassDelay_.delayed(0, delay);
          dry2 = bypassDelay_.delayed(1, delay);
        } else if (bypass_ < 1.0f) {
          kind = PowerSwitch::kBlend;
          const float dry = 1.0f - bypass_;
          dry1 = dry * hostSample(bypassDelay_.delayed(0, delay));
          dry2 = dry * hostSample(bypassDelay_.delayed(1, delay));
        }
      } else if (!b.powerOn) {
        kind = PowerSwitch::kInput;
        dry1 = bypassDelay_.delayed(0, delay);
        dry2 = bypassDelay_.delayed(1, delay);
      }
      if (switching) {
        const int j = i - begin;
        run_.kind[j] = kind;
        run_.weight[j] = bypass_;
        run_.amp[0][j] = o1, run_.amp[1][j] = o2;
        run_.dry[0][j] = dry1, run_.dry[1][j] = dry2;
        continue;
      }
      if (kind == PowerSwitch::kInput) {
        o1 = dry1, o2 = dry2;
      } else if (kind == PowerSwitch::kBlend) {
        o1 = bypass_ * o1 + dry1;
        o2 = bypass_ * o2 + dry2;
      }
      out1[i] = o1;
      if constexpr (kStereo) out2[i] = o2;
    }
    // The cabinet hears the amplifier's output as it leaves, the configuration fade included, so
    // the fade silences the cabinet's input too.
    const int n = end - begin;
    if (cabinet && !switching) cabinet_.process<kStereo>(out1 + begin, kStereo ? out2 + begin : nullptr, n);
    if (switching) {
      cabinet_.process<kStereo>(run_.amp[0], run_.amp[1], n);
      for (int j = 0; j < n; ++j) {
        float o1 = run_.amp[0][j], o2 = run_.amp[1][j];
        if (run_.kind[j] == PowerSwitch::kInput) {
          o1 = run_.dry[0][j], o2 = run_.dry[1][j];
        } else if (run_.kind[j] == PowerSwitch::kBlend) {
          o1 = run_.weight[j] * o1 + run_.dry[0][j];
          o2 = run_.weight[j] * o2 + run_.dry[1][j];
        }
        out1[begin + j] = o1;
        if constexpr (kStereo) out2[begin + j] = o2;
      }
    }
    begin = end;
  }
  host.unpack(c1, c2);
  hostWindow_.save(state_.hostWindow);
  stepWindow_.save(lanes_.recent);
  const float v1 = meterPosition(largest1, s.gain);
  if (v1 > peak1) peak1 = v1;
  const float v2 = meterPosition(largest2, s.gain);
  if (v2 > peak2) peak2 = v2;
}
