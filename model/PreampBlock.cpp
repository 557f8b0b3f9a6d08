#include "model/PreampBlock.h"

#include "model/ValveTables.h"

using namespace preamp_circuit;

namespace {
// Above the table the grid conducts: both element-1 currents keep the slope of the table's top.
// The sums are made in double precision.
inline void extendElement1(float p1x, float& i1a, float& i1b) {
  const float top = kRange[kP1x].high;
  if (p1x > top) {
    const float e = p1x - top;
    i1a = static_cast<float>(static_cast<double>(i1a) + static_cast<double>(e) * PreampBlock::kSlope1a);
    i1b = static_cast<float>(static_cast<double>(i1b) + static_cast<double>(e) * PreampBlock::kSlope1b);
  }
}

}  // namespace

// The rows of CircuitMatrices.h, one at a time (see row in Lanes.h).
template <typename F>
PreampResultT<F> PreampBlock::process(PreampStateT<F>& s, const ValveTables& tables, F toneOut, float drive,
                                      float invDrive, bool supplyOn, F supplyNode, F feedback, float dcPole) {
  const F vin = toneOut * drive;
  const F vs = choose(supplyOn, kSupplyScale * supplyNode + kSupplyOffset, F{} + kNominalSupply);
  F* x = s.x;
  x[kZ] = feedback;
  // Each set of rows reads the columns as they stand (see PreampColumns).
  const PreampColumns<F> c{s, vin, vs};

  // Predictions with the previous step's currents.
  for (int r = 0; r < kPredictions; ++r) s.prediction[r] = row(kPredict[r], c);
  const F* p = s.prediction;

  // Each element's two voltages on the axes spanning their ranges.
  const auto at = [p](Prediction x, Prediction c) {
    return ValveTables::locate(p[x], spanning(kRange[x]), p[c], spanning(kRange[c]));
  };
  const auto e1 = at(kP1x, kP1c);
  F i1a = tables.read(0, e1);
  F i1b = tables.read(1, e1);
  extendElement1(p[kP1x], i1a, i1b);
  const auto e2 = at(kP2x, kP2c);
  s.i1a = i1a;
  s.i1b = i1b;
  s.i2a = tables.read(2, e2);
  s.i2b = tables.read(3, e2);

  // State update from the old state and the new currents (x6 keeps z).
  F n[kUpdates];
  for (int r = 0; r < kUpdates; ++r) n[r] = row(kUpdate[r], c);
  x[0] = n[kNewX0];
  x[1] = n[kNewX1];
  x[2] = n[kNewX2];
  x[3] = n[kNewX3];
  x[4] = n[kNewX4];
  x[5] = n[kNewX5];
  x[7] = n[kNewX7];

  // Outputs from the new state.
  PreampResultT<F> r;
  r.tap = s.dc.process(row(kOutput[kYo], c), dcPole);
  r.powerInput = r.tap * invDrive;
  r.coupling = row(kOutput[kYb], c);
  return r;
}

template PreampResultT<float> PreampBlock::process(PreampStateT<float>&, const ValveTables&, float, float,
                                                   float, bool, float, float, float);
