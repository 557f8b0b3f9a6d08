// The preamp block for both channels at once (see Lanes.h): the rows of CircuitMatrices.h taken
// two at a time. Each channel's values equal those of the one-channel form exactly; a test holds
// the two forms equal.
#pragma once

#include "model/PreampBlock.h"
#include "model/ValveTables.h"

namespace preamp_lanes {

using namespace preamp_circuit;

inline constexpr TableAxes kSamples = axes(spanning(kRange[kP1x]), spanning(kRange[kP2x]));
inline constexpr TableAxes kCurves = axes(spanning(kRange[kP1c]), spanning(kRange[kP2c]));

// Above its table (20 V) element 1's grid conducts: both currents continue with the slope of
// the table's top, the sums made in double precision. Below 20 V (and for NaN) the excess is 0
// and the sum gives the current back unchanged, a negative zero as a positive one.
inline Float4 extendElement1(Float4 current, Float4 excess, double slope) {
  typedef double Double2 __attribute__((vector_size(16)));
  typedef float Float2 __attribute__((vector_size(8)));
  const Double2 e = __builtin_convertvector(__builtin_shufflevector(excess, excess, 0, 1), Double2);
  const Double2 i = __builtin_convertvector(__builtin_shufflevector(current, current, 0, 1), Double2);
  const Float2 r = __builtin_convertvector(i + e * slope, Float2);
  return __builtin_shufflevector(r, r, 0, 1, 0, 1);
}

}  // namespace preamp_lanes

template <>
inline PreampResultT<Float4> PreampBlock::process<Float4>(PreampStateT<Float4>& s, const ValveTables& tables,
                                                          Float4 toneOut, float drive, float invDrive,
                                                          bool supplyOn, Float4 supplyNode, Float4 feedback,
                                                          float dcPole) {
  using namespace preamp_lanes;
  const Float4 vin = toneOut * drive;
  const Float4 vs = choose(supplyOn, kSupplyScale * supplyNode + kSupplyOffset, Float4{} + kNominalSupply);
  Float4* x = s.x;
  x[6] = feedback;
  // Each set of rows reads the columns as they stand (see PreampColumns).
  const PreampColumns<Float4> c{s, vin, vs};

  // The rows are paired by kind, so that one located position serves both elements: lanes 0
  // and 1 element 1, lanes 2 and 3 element 2.
  const Float4 xs = rowPair(kPredict[kP1x], kPredict[kP2x], c);
  const Float4 cs = rowPair(kPredict[kP1c], kPredict[kP2c], c);
  const Float4 p1x = rowA(xs);
  storeForInspection(xs, s.prediction[kP1x], s.prediction[kP2x]);
  storeForInspection(cs, s.prediction[kP1c], s.prediction[kP2c]);

  const TablePosition4 t = ValveTables::locate(xs, kSamples, cs, kCurves);
  Float4 i1a, i1b;
  tables.readPair<0>(0, t, i1a, i1b);
  const Float4 excess = atLeast(p1x - kRange[kP1x].high, 0.0f);
  // The conversions to double and back would sit between the table read and the state update
  // of every step; the branch on the prediction is settled long before the currents arrive and
  // changes direction only when the signal crosses 20 V. Adding 0 is what the extension does
  // to a current below 20 V.
  if (_mm_movemask_ps(reinterpret_cast<__m128>(excess > Float4{})) != 0) {
    i1a = extendElement1(i1a, excess, kSlope1a);
    i1b = extendElement1(i1b, excess, kSlope1b);
  } else {
    i1a = i1a + 0.0f;
    i1b = i1b + 0.0f;
  }
  s.i1a = i1a;
  s.i1b = i1b;
  tables.readPair<2>(2, t, s.i2a, s.i2b);

  updateState<kNewX0, kNewX2, kNewX3, kNewX4, kNewX5, kNewX1, kNewX7>(kUpdate, c, x[0], x[2], x[3], x[4],
                                                                      x[5], x[1], x[7]);

  const Float4 out = rowPair(kOutput[kYo], kOutput[kYb], c);
  PreampResultT<Float4> r;
  r.tap = s.dc.process(rowA(out), dcPole);
  r.powerInput = r.tap * invDrive;
  r.coupling = rowB(out);
  return r;
}
