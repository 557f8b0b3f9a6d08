// The power block: two driver elements (banks 4/5 and 6/7), the push-pull pair of output
// valves (banks 8 and 9), the output transformer and the sagging supply, discretised at 192000
// steps per second in the same explicit state-space form as the preamp block. It also applies
// the output tap, the output DC blocker and the wet/dry mix.
#pragma once

#include "model/CircuitMatrices.h"
#include "model/DcBlocker.h"
#include "model/Lanes.h"

class ValveTables;

// F is float (one channel) or Float4 (both channels at once; that form is in
// PowerBlockLanes.h).
template <typename F>
struct PowerStateT {
  F s[11] = {};  // s7..s9 trapezoidal companions; s10 the preamp's coupling value yb
  F i3a = F{}, i3b = F{}, i4a = F{}, i4b = F{}, i5 = F{}, i6 = F{};
  F vk = F{};                                       // drives the companion states
  F supply = F{} + preamp_circuit::kNominalSupply;  // S, the supply node the preamp reads next step
  F feedback = F{};                                 // z, the preamp's x6 in the next step
  DcBlockerT<F> dc;
  // The last predicted table voltages (before clamping) p3x, p3c, p4x, p4c, p5x, p5c, p6x, p6c,
  // kept for inspection.
  F prediction[8] = {};
};
using PowerState = PowerStateT<float>;

// The columns of the power matrices as the state holds them at the moment of reading, with the
// step's input vp: the predictions read the previous step's currents, the state update the new
// currents and the old state (all its rows are summed before any is stored), the outputs the new
// state.
template <typename F>
struct PowerColumns {
  const PowerStateT<F>& st;
  F vp;
  F operator[](int k) const {
    using namespace power_circuit;
    if (k < kVp) return st.s[k];
    if (k == kVp) return vp;
    if (k == kHigh) return F{} + kHighVoltage;
    if (k == kLow) return F{} + kLowVoltage;
    if (k == kI3a) return st.i3a;
    if (k == kI3b) return st.i3b;
    if (k == kI4a) return st.i4a;
    if (k == kI4b) return st.i4b;
    if (k == kI5) return st.i5;
    return st.i6;
  }
};

// What stays fixed for a whole block.
struct PowerSettings {
  bool tapPower;  // output from the power stage (else from the preamp tap)
  float mix;      // wet weight m = p3^3
  float dry;      // 1 - m
};

class PowerBlock {
 public:
  // Audio thread, once per internal step and channel, right after the preamp block. Returns the
  // channel's internal-rate sample.
  template <typename F>
  static F process(PowerStateT<F>& s, const ValveTables& tables, F powerInput, F coupling, F preampTap,
                   F dryValue, const PowerSettings& settings, float dcPole);
};
