// The power block for both channels at once (see Lanes.h): the rows of CircuitMatrices.h taken two
// at a time. Each channel's values equal those of the one-channel form exactly; a test holds the
// two forms equal.
#pragma once

#include "model/PowerBlock.h"
#include "model/ValveTables.h"

namespace power_lanes {

using namespace power_circuit;

inline constexpr TableAxes kDriverSamples = axes(spanning(kRange[kP3x]), spanning(kRange[kP4x]));
inline constexpr TableAxes kDriverCurves = axes(spanning(kRange[kP3c]), spanning(kRange[kP4c]));
// Both output valves' tables span the same ranges.
inline constexpr TableAxis kOutputSample = spanning(kRange[kP5x]);
inline constexpr TableAxis kOutputCurve = spanning(kRange[kP5c]);

// A row pair's predictions (a in lanes 0 and 1, b in lanes 2 and 3) clamped to their ranges.
inline Float4 clampTo(Float4 v, Prediction a, Prediction b) {
  return atMost(atLeast(v, perQuantity(kRange[a].low, kRange[b].low)),
                perQuantity(kRange[a].high, kRange[b].high));
}

}  // namespace power_lanes

template <>
inline Float4 PowerBlock::process<Float4>(PowerStateT<Float4>& st, const ValveTables& tables, Float4 vp,
                                          Float4 coupling, Float4 preampTap, Float4 dryValue,
                                          const PowerSettings& settings, float dcPole) {
  using namespace power_lanes;
  Float4* s = st.s;
  s[10] = coupling;
  // Each set of rows reads the columns as they stand (see PowerColumns).
  const PowerColumns<Float4> c{st, vp};

  // The rows are paired by kind, so that one located position serves two elements: lanes 0 and
  // 1 the first driver (or output valve), lanes 2 and 3 the second.
  const Float4 x34 = rowPair(kPredict[kP3x], kPredict[kP4x], c);
  const Float4 c34 = rowPair(kPredict[kP3c], kPredict[kP4c], c);
  const Float4 x56 = rowPair(kPredict[kP5x], kPredict[kP6x], c);
  const Float4 c56 = rowPair(kPredict[kP5c], kPredict[kP6c], c);
  storeForInspection(x34, st.prediction[kP3x], st.prediction[kP4x]);
  storeForInspection(c34, st.prediction[kP3c], st.prediction[kP4c]);
  storeForInspection(x56, st.prediction[kP5x], st.prediction[kP6x]);
  storeForInspection(c56, st.prediction[kP5c], st.prediction[kP6c]);

  const TablePosition4 drivers =
      ValveTables::locate(clampTo(x34, kP3x, kP4x), kDriverSamples, clampTo(c34, kP3c, kP4c), kDriverCurves);
  tables.readPair<0>(4, drivers, st.i3a, st.i3b);
  tables.readPair<2>(6, drivers, st.i4a, st.i4b);
  const TablePosition4 outputs =
      ValveTables::locate(clampTo(x56, kP5x, kP6x), kOutputSample, clampTo(c56, kP5c, kP6c), kOutputCurve);
  tables.readSingles(8, 9, outputs, st.i5, st.i6);

  updateState<kNewS0, kNewS1, kNewS2, kNewS3, kNewS4, kNewS5, kNewS6>(kUpdate, c, s[0], s[1], s[2], s[3],
                                                                      s[4], s[5], s[6]);
  s[7] = kCompanionGain[0] * st.vk - s[7];
  s[8] = kCompanionGain[1] * st.vk - s[8];
  s[9] = kCompanionGain[2] * st.vk - s[9];

  const Float4 vkz = rowPair(kOutput[kVk], kOutput[kFeedback], c);
  st.vk = rowA(vkz);
  st.feedback = rowB(vkz);
  // S alone: the preamp waits for it in the next step, and paired with yp it would wait for
  // yp's eleven other columns too. yp shares its columns with vk and z but is no one's input.
  st.supply = row(kOutput[kSupply], c);
  const Float4 yp = row(kOutput[kYp], c);

  const Float4 w = choose(settings.tapPower, yp * kPowerTapGain, preampTap * kPreampTapGain);
  const Float4 y = st.dc.process(w, dcPole);
  return settings.mix * y + settings.dry * dryValue;
}
