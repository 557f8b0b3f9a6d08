// The preamp block for both channels at once (see Lanes.h): the matrices of PreampBlock.cpp as
// rows over one column list, taken two rows at a time. Each channel's values equal those of the
// one-channel form exactly; a test holds the two forms equal.
#pragma once

#include "model/PreampBlock.h"
#include "model/ValveTables.h"

namespace preamp_lanes {

inline constexpr TableAxis kElement1Sample{-4.0f, 1.0f / 24.0f};
inline constexpr TableAxis kElement1Curve{50.0f, 1.0f / 150.0f};
inline constexpr TableAxis kElement2Sample{5.0f, 1.0f / 40.0f};
inline constexpr TableAxis kElement2Curve{100.0f, 1.0f / 200.0f};
inline constexpr TableAxes kSamples = axes(kElement1Sample, kElement2Sample);
inline constexpr TableAxes kCurves = axes(kElement1Curve, kElement2Curve);

// Columns: x0..x7 (x6 = z), Vin, Vs, i1a, i1b, i2a, i2b.
inline constexpr int kColumns = 14;
using Row = float[kColumns];

// Predictions (D1, E1 and the cross-coupling terms, with the previous step's currents).
inline constexpr Row kP1x = {-62530.023f, -0.10415943f,
                             93.032829f,  0.47107843f,
                             0.53829432f, 0.031526104f,
                             -1458.2642f, 0,
                             0.94237232f, 0.054009784f,
                             0,           0,
                             0,           0};
inline constexpr Row kP1c = {
    24753.896f, -0.10415943f, 1577.5487f,  7.9880314f, 9.1278048f, 0.53458506f, -24727.646f,
    0,          0.022813192f, 0.91583872f, 0,          0,          -26271.012f, -24727.646f};
inline constexpr Row kP2x = {24721.73f,
                             0,
                             1575.4988f,
                             -122.06148f,
                             9.1610804f,
                             -19.771725f,
                             -24695.514f,
                             -0.10415943f,
                             0.022783548f,
                             0.91464865f,
                             0,
                             -26271.012f,
                             0,
                             0};
inline constexpr Row kP2c = {
    23269.381f,  0, -136.27536f, 7.5089812f, 8.5804014f, 0.50252545f, -39863.922f, -0.10415943f, 0.021445062f,
    0.92088598f, 0, -24727.646f, 0,          0};

// State update (A1, B1, C1, with the new currents).
inline constexpr Row kX0 = {-0.8391183f,     0,
                            0.0027362597f,   1.3855248e-05f,
                            1.5832185e-05f,  9.2723832e-07f,
                            -0.042890124f,   0,
                            -1.6949314e-06f, 1.5885231e-06f,
                            0.11525533f,     -0.045626383f,
                            -0.045567095f,   -0.042890124f};
inline constexpr Row kX1 = {0, 0.99986112f, 0, 0, 0, 0, 0, 0, 0, 0, 1.9998611f, 1.9998611f, 0, 0};
inline constexpr Row kX2 = {1.7101623f,     0,           0.9743253f,  0.00055186584f, 0.00063060888f,
                            3.6932659e-05f, 0.1569892f,  0,           1.5760855e-06f, -5.8144151e-06f,
                            -0.10717382f,   -1.8173361f, -1.8149745f, 0.1569892f};
inline constexpr Row kX3 = {
    0.1154604f,   0,           0.0073582111f, 0.99942994f,    -0.00065141747f, -3.8151349e-05f,
    -0.11533795f, 0,           1.064083e-07f, 4.2717761e-06f, -0.0072357645f,  -0.12269616f,
    1.8748643f,   -0.11533795f};
inline constexpr Row kX4 = {0.065967441f,   0,
                            0.0042040595f,  -0.00032570874f,
                            0.99933022f,    1.4316865e-06f,
                            -0.065897487f,  0,
                            6.0795593e-08f, 2.4406474e-06f,
                            -0.0041341004f, -0.070101544f,
                            -0.070357099f,  -0.065897487f};
inline constexpr Row kX5 = {0.00019317465f,  0,
                            1.2310886e-05f,  -9.5378368e-07f,
                            7.1584331e-08f,  0.95934284f,
                            -0.00019296978f, 0,
                            1.7802976e-10f,  7.1470292e-09f,
                            -1.2106023e-05f, -0.00020528067f,
                            0.0075923428f,   -0.00019296978f};
inline constexpr Row kX7 = {0, 0, 0, 0, 0, 0, 0, 0.99986112f, 0, 0, 0, 0, 1.9998611f, 1.9998611f};

// Outputs (G1, H1, J1, with the new state; -40863.922 in yo's x6 column as the circuit has it).
inline constexpr Row kYo = {23269.381f,  0,           -136.27536f, 7.5089812f,   8.5804014f,
                            0.50252545f, -40863.922f, 0,           0.021445062f, 0.92088598f,
                            -1458.2642f, -24727.646f, -24695.514f, -39863.922f};
inline constexpr Row kYb = {
    0.86182892f,  0,           -0.0050472352f, 0.00027811041f,  0.00031779264f, 1.8612054e-05f,
    -0.92088598f, 0,           7.9426155e-07f, -2.9301495e-06f, -0.054009784f,  -0.91583872f,
    -0.91464865f, -0.92088598f};

// Above its table (20 V) element 1's grid conducts: both currents continue with the slope of
// the table's top, the sums made in double precision. Written without a branch: below 20 V (and
// for NaN) the excess is 0 and the sum gives the current back unchanged.
inline Float4 extendElement1(Float4 current, Float4 excess, double slope) {
  typedef double Double2 __attribute__((vector_size(16)));
  typedef float Float2 __attribute__((vector_size(8)));
  const Double2 e = __builtin_convertvector(__builtin_shufflevector(excess, excess, 0, 1), Double2);
  const Double2 i = __builtin_convertvector(__builtin_shufflevector(current, current, 0, 1), Double2);
  const Float2 r = __builtin_convertvector(i + e * slope, Float2);
  return __builtin_shufflevector(r, r, 0, 1, 0, 1);
}

// The columns as the state holds them at the moment of reading, with the step's inputs: the
// predictions read the previous step's currents, the state update the new currents and the old
// state (all its rows are summed before any is stored), the outputs the new state.
struct Columns {
  const PreampStateT<Float4>& s;
  Float4 vin;
  Float4 vs;
  Float4 operator[](int k) const {
    switch (k) {
      case 8:
        return vin;
      case 9:
        return vs;
      case 10:
        return s.i1a;
      case 11:
        return s.i1b;
      case 12:
        return s.i2a;
      case 13:
        return s.i2b;
      default:
        return s.x[k];
    }
  }
};

}  // namespace preamp_lanes

template <>
inline PreampResultT<Float4> PreampBlock::process<Float4>(PreampStateT<Float4>& s, const ValveTables& tables,
                                                          Float4 toneOut, float drive, float invDrive,
                                                          bool supplyOn, Float4 supplyNode, Float4 feedback,
                                                          float dcPole) {
  using namespace preamp_lanes;
  const Float4 vin = toneOut * drive;
  const Float4 vs = choose(supplyOn, 0.3f * supplyNode + 189.0f, Float4{} + 270.0f);
  Float4* x = s.x;
  x[6] = feedback;
  // Each set of rows reads the columns as they stand (see Columns).
  const Columns c{s, vin, vs};

  // The rows are paired by kind, so that one located position serves both elements: lanes 0
  // and 1 element 1, lanes 2 and 3 element 2.
  const Float4 xs = rowPair(kP1x, kP2x, c);
  const Float4 cs = rowPair(kP1c, kP2c, c);
  const Float4 p1x = rowA(xs);
  const Float4 predicted[4] = {p1x, rowA(cs), rowB(xs), rowB(cs)};
  for (int k = 0; k < 4; ++k) s.prediction[k] = predicted[k];

  const TablePosition4 t = ValveTables::locate(xs, kSamples, cs, kCurves);
  Float4 i1a, i1b;
  tables.readPair<0>(0, t, i1a, i1b);
  const Float4 excess = atLeast(p1x - 20.0f, 0.0f);
  i1a = extendElement1(i1a, excess, kSlope1a);
  i1b = extendElement1(i1b, excess, kSlope1b);
  s.i1a = i1a;
  s.i1b = i1b;
  tables.readPair<2>(2, t, s.i2a, s.i2b);

  const Float4 n02 = rowPair(kX0, kX2, c);
  const Float4 n34 = rowPair(kX3, kX4, c);
  const Float4 n51 = rowPair(kX5, kX1, c);
  const Float4 n77 = rowPair(kX7, kX7, c);
  x[0] = rowA(n02);
  x[2] = rowB(n02);
  x[3] = rowA(n34);
  x[4] = rowB(n34);
  x[5] = rowA(n51);
  x[1] = rowB(n51);
  x[7] = rowA(n77);

  const Float4 out = rowPair(kYo, kYb, c);
  PreampResultT<Float4> r;
  r.tap = s.dc.process(rowA(out), dcPole);
  r.powerInput = r.tap * invDrive;
  r.coupling = rowB(out);
  return r;
}
