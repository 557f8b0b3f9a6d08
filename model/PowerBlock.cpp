#include "model/PowerBlock.h"

#include "model/ValveTables.h"

using namespace power_circuit;

namespace {
// NaN lands on the lower edge, so a damaged prediction still reads inside the table.
template <typename F>
inline F clampTo(F v, const VoltageRange& range) {
  return atMost(atLeast(v, range.low), range.high);
}
}  // namespace

// The rows of CircuitMatrices.h, one at a time (see row in Lanes.h).
template <typename F>
F PowerBlock::process(PowerStateT<F>& st, const ValveTables& tables, F vp, F coupling, F preampTap,
                      F dryValue, const PowerSettings& settings, float dcPole) {
  F* s = st.s;
  s[kS10] = coupling;
  // Each set of rows reads the columns as they stand (see PowerColumns).
  const PowerColumns<F> c{st, vp};

  // Predictions with the previous step's currents of the other elements.
  F p[kPredictions];
  for (int r = 0; r < kPredictions; ++r) {
    st.prediction[r] = row(kPredict[r], c);
    p[r] = clampTo(st.prediction[r], kRange[r]);
  }

  // Each element's two voltages on the axes spanning their ranges.
  const auto at = [&p](Prediction x, Prediction c) {
    return ValveTables::locate(p[x], spanning(kRange[x]), p[c], spanning(kRange[c]));
  };
  const auto e3 = at(kP3x, kP3c);
  const auto e4 = at(kP4x, kP4c);
  st.i3a = tables.read(4, e3);
  st.i3b = tables.read(5, e3);
  st.i4a = tables.read(6, e4);
  st.i4b = tables.read(7, e4);
  st.i5 = tables.read(8, at(kP5x, kP5c));
  st.i6 = tables.read(9, at(kP6x, kP6c));

  // State update of s0..s6 from the old state and the new currents.
  F n[kUpdates];
  for (int r = 0; r < kUpdates; ++r) n[r] = row(kUpdate[r], c);
  for (int r = 0; r < kUpdates; ++r) s[r] = n[r];

  // Trapezoidal companions, driven by the previous step's vk. Nothing damps them at half the
  // step rate (s7 - s8 and s7 - 15.625 s9 change sign every step whatever vk does). At idle the
  // output valves' curve-axis predictions average about 650 V (375 V plus 301523.47 times the
  // other valve's current), above their tables; with both reads at the top edge s4's half-rate
  // mode, closed through the drivers and the output grids, grows (eigenvalue about -1.00014)
  // until p5c and p6c swing down to 400 V every other step. It is the circuit's own behaviour;
  // the down-sampler removes the 96 kHz ripple it puts on yp.
  for (int k = 0; k < 3; ++k) s[kS7 + k] = kCompanionGain[k] * st.vk - s[kS7 + k];

  // Outputs from the new state.
  st.vk = row(kOutput[kVk], c);
  st.supply = row(kOutput[kSupply], c);
  st.feedback = row(kOutput[kFeedback], c);
  const F yp = row(kOutput[kYp], c);

  const F w = choose(settings.tapPower, yp * kPowerTapGain, preampTap * kPreampTapGain);
  const F y = st.dc.process(w, dcPole);
  return settings.mix * y + settings.dry * dryValue;
}

template float PowerBlock::process(PowerStateT<float>&, const ValveTables&, float, float, float, float,
                                   const PowerSettings&, float);
