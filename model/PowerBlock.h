// The power block: two driver elements (banks 4/5 and 6/7), the push-pull pair of output
// valves (banks 8 and 9), the output transformer and the sagging supply, discretised at 192000
// steps per second in the same explicit state-space form as the preamp block. It also applies
// the output tap, the output DC blocker and the wet/dry mix.
#pragma once

#include "model/DcBlocker.h"
#include "model/Lanes.h"

class ValveTables;

// F is float (one channel) or Float4 (both channels at once; that form is in
// PowerBlockLanes.h).
template <typename F>
struct PowerStateT {
  F s[11] = {};  // s7..s9 trapezoidal companions; s10 the preamp's coupling value yb
  F i3a = F{}, i3b = F{}, i4a = F{}, i4b = F{}, i5 = F{}, i6 = F{};
  F vk = F{};               // drives the companion states
  F supply = F{} + 270.0f;  // S, the supply node the preamp reads in the next step
  F feedback = F{};         // z, the preamp's x6 in the next step
  DcBlockerT<F> dc;
  // The last predicted table voltages (before clamping) p3x, p3c, p4x, p4c, p5x, p5c, p6x, p6c,
  // kept for inspection.
  F prediction[8] = {};
};
using PowerState = PowerStateT<float>;

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
