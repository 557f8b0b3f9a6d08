// The power block for both channels at once (see Lanes.h): the matrices of PowerBlock.cpp as
// rows over one column list, taken two rows at a time. Each channel's values equal those of the
// one-channel form exactly; a test holds the two forms equal.
#pragma once

#include "model/PowerBlock.h"
#include "model/ValveTables.h"

namespace power_lanes {

inline constexpr TableAxis kDriver1Sample{-30.0f, 1.0f / 80.0f};
inline constexpr TableAxis kDriver1Curve{200.0f, 1.0f / 200.0f};
inline constexpr TableAxis kDriver2Sample{-15.0f, 1.0f / 55.0f};
inline constexpr TableAxis kDriver2Curve{200.0f, 1.0f / 200.0f};
inline constexpr TableAxis kOutputSample{-70.0f, 1.0f / 25.0f};
inline constexpr TableAxis kOutputCurve{100.0f, 1.0f / 300.0f};

// Columns: s0..s10, Vp, 375, -62.5, i3a, i3b, i4a, i4b, i5, i6 (the output valves' second
// current slots are always 0 and are left out).
inline constexpr int kColumns = 20;
using Row = float[kColumns];

// Predictions (D2, E2 and the used F2 entries, with the previous step's currents).
inline constexpr Row kP3x = {-234.86113f,
                             -0.1586228f,
                             0,
                             0,
                             0.37275457f,
                             -2.1823364e-05f,
                             2.1823364e-05f,
                             0,
                             0,
                             -5.872617e-07f,
                             0,
                             0.90186673f,
                             0,
                             0,
                             0,
                             0,
                             -6921.1157f,
                             -8541.7207f,
                             31.27051f,
                             -31.27051f};
inline constexpr Row kP3c = {2.0082607f,
                             -0.17452639f,
                             7.7155762f,
                             0.60897624f,
                             0.4101271f,
                             -2.4011382e-05f,
                             2.4011382e-05f,
                             0,
                             0,
                             -6.4614079e-07f,
                             -7483.709f,
                             -0.0077117211f,
                             0.68033719f,
                             0.31966281f,
                             0,
                             0,
                             -7531.8135f,
                             -14460.142f,
                             34.405704f,
                             -34.405704f};
inline constexpr Row kP4x = {1.586228f,
                             25.866182f,
                             0,
                             0,
                             -0.0025175493f,
                             1.4739294e-07f,
                             -1.4739294e-07f,
                             0,
                             0,
                             3.9663099e-09f,
                             0,
                             -0.0060911155f,
                             0,
                             0,
                             -6921.1157f,
                             -7531.8135f,
                             0,
                             0,
                             0,
                             0};
inline constexpr Row kP4c = {2.0082607f,
                             -0.17452639f,
                             0.60897624f,
                             8.7120829f,
                             0.4101271f,
                             -2.4011382e-05f,
                             2.4011382e-05f,
                             0,
                             0,
                             -6.4614079e-07f,
                             -7062.7847f,
                             -0.0077117211f,
                             0.64207131f,
                             0.35792866f,
                             -8541.7207f,
                             -14460.142f,
                             0,
                             0,
                             34.405704f,
                             -34.405704f};
inline constexpr Row kP5x = {0,           0, -18.323921f, 0.60890418f, 0, 0,           0, 0,           0, 0,
                             -7482.8232f, 0, 0.68025666f, 0.31974334f, 0, -65181.188f, 0, -5144.6313f, 0, 0};
inline constexpr Row kP5c = {-0.0081433617f,
                             -5.4999491e-06f,
                             0,
                             0,
                             -3594.2571f,
                             0.2104301f,
                             -0.2104301f,
                             1,
                             0,
                             -15.619337f,
                             0,
                             3.1270509e-05f,
                             1,
                             0,
                             31.27051f,
                             34.405704f,
                             0,
                             34.405704f,
                             0,
                             301523.47f};
inline constexpr Row kP6x = {0,           0, 0.60890418f, -17.327534f, 0, 0,           0, 0,           0, 0,
                             -7061.9487f, 0, 0.64199537f, 0.35800466f, 0, -5144.6313f, 0, -73599.672f, 0, 0};
inline constexpr Row kP6c = {0.0081433617f,
                             5.4999491e-06f,
                             0,
                             0,
                             3594.2571f,
                             -0.2104301f,
                             0.2104301f,
                             0,
                             -1,
                             15.619337f,
                             0,
                             -3.1270509e-05f,
                             1,
                             0,
                             -31.27051f,
                             -34.405704f,
                             0,
                             -34.405704f,
                             301523.47f,
                             0};

// State update (A2, B2, C2, with the new currents).
inline constexpr Row kS0 = {0.99953026f,
                            -3.1724559e-07f,
                            0,
                            0,
                            7.4550911e-07f,
                            -4.3646725e-11f,
                            4.3646725e-11f,
                            0,
                            0,
                            -1.1745234e-12f,
                            0,
                            1.8037335e-06f,
                            0,
                            0,
                            1.8037335f,
                            -0.015423442f,
                            -0.012182231f,
                            -0.015423442f,
                            6.2541018e-05f,
                            -6.2541018e-05f};
inline constexpr Row kS1 = {-3.172456e-06f,
                            0.99994826f,
                            0,
                            0,
                            5.0350977e-09f,
                            -2.9478584e-13f,
                            2.9478584e-13f,
                            0,
                            0,
                            -7.9325881e-15f,
                            0,
                            1.2182231e-08f,
                            0,
                            0,
                            0.012182231f,
                            0.013403627f,
                            -1.9865228f,
                            0.013403627f,
                            4.2239611e-07f,
                            -4.2239611e-07f};
inline constexpr Row kS2 = {0,
                            0,
                            0.99983341f,
                            5.5354926e-06f,
                            0,
                            0,
                            0,
                            0,
                            0,
                            0,
                            -0.068025663f,
                            0,
                            6.1841515e-06f,
                            -6.1841515e-06f,
                            0,
                            -0.59255624f,
                            0,
                            -0.046769377f,
                            0,
                            0};
inline constexpr Row kS3 = {0,
                            0,
                            5.5354926e-06f,
                            0.99984246f,
                            0,
                            0,
                            0,
                            0,
                            0,
                            0,
                            -0.064199537f,
                            0,
                            5.8363212e-06f,
                            -5.8363212e-06f,
                            0,
                            -0.046769377f,
                            0,
                            -0.66908795f,
                            0,
                            0};
inline constexpr Row kS4 = {-8.4263456e-07f,
                            -5.6910737e-10f,
                            0,
                            0,
                            -0.99940574f,
                            -3.479051e-08f,
                            3.479051e-08f,
                            0,
                            0,
                            5.8594031e-07f,
                            0,
                            3.2357168e-09f,
                            0,
                            0,
                            0.0032357166f,
                            0.003560131f,
                            -2.1853726e-05f,
                            0.003560131f,
                            -31.20015f,
                            31.20015f};
inline constexpr Row kS5 = {-8.4238178e-07f,
                            -5.6893668e-10f,
                            0,
                            0,
                            0.00059406203f,
                            0.99940008f,
                            -1.9994f,
                            0,
                            0,
                            5.8576455e-07f,
                            0,
                            3.234746e-09f,
                            0,
                            0,
                            0.0032347462f,
                            0.0035590632f,
                            -2.1847171e-05f,
                            0.0035590632f,
                            -31.19079f,
                            31.19079f};
inline constexpr Row kS6 = {-1.2869492e-12f,
                            -8.6919323e-16f,
                            0,
                            0,
                            9.0757851e-10f,
                            3.0545843e-06f,
                            0.99999696f,
                            0,
                            0,
                            8.9490199e-13f,
                            0,
                            4.9418846e-15f,
                            0,
                            0,
                            4.9418847e-09f,
                            5.4373599e-09f,
                            -3.3377023e-11f,
                            5.4373599e-09f,
                            -4.7651742e-05f,
                            4.7651742e-05f};
inline constexpr Row kNone = {};

// Outputs (G2, H2, J2, with the new state and currents).
inline constexpr Row kVk = {2.1206672e-11f,
                            1.4322785e-14f,
                            0,
                            0,
                            9.3600447e-06f,
                            -5.4799504e-10f,
                            5.4799504e-10f,
                            0,
                            0,
                            4.0675356e-08f,
                            0,
                            -8.1433619e-14f,
                            0,
                            0,
                            -8.1433619e-08f,
                            -8.9598188e-08f,
                            5.4999499e-10f,
                            -8.9598188e-08f,
                            0.00078521739f,
                            -0.00078521739f};
inline constexpr Row kS = {0,           0, 0.88575089f, 0.83593142f, 0, 0,          0, 0,           0, 0,
                           -10272.762f, 0, 0.93388742f, 0.0661126f,  0, -7483.709f, 0, -7062.7847f, 0, 0};
inline constexpr Row kZ = {0.00023486113f,
                           1.586228e-07f,
                           0,
                           0,
                           -3.7275456e-07f,
                           2.1823363e-11f,
                           -2.1823363e-11f,
                           0,
                           0,
                           5.8726168e-13f,
                           0,
                           -9.0186677e-07f,
                           0,
                           0,
                           -0.90186673f,
                           0.0077117211f,
                           0.0060911155f,
                           0.0077117211f,
                           -3.1270509e-05f,
                           3.1270509e-05f};
inline constexpr Row kYp = {-0.00052117516f,
                            -3.5199676e-07f,
                            0,
                            0,
                            -230.03246f,
                            0.013467526f,
                            -0.013467526f,
                            0,
                            0,
                            0.00036240803f,
                            0,
                            2.0013126e-06f,
                            0,
                            0,
                            2.0013125f,
                            2.2019651f,
                            -0.013516677f,
                            2.2019651f,
                            -19297.502f,
                            19297.502f};

inline constexpr float kK7 = 768000000.0f;
inline constexpr float kK8 = 768000000.0f;
inline constexpr float kK9 = 49152000.0f;

inline constexpr TableAxes kDriverSamples = axes(kDriver1Sample, kDriver2Sample);
inline constexpr TableAxes kDriverCurves = axes(kDriver1Curve, kDriver2Curve);

inline Float4 clampTo(Float4 v, Float4 lo, Float4 hi) {
  return atMost(atLeast(v, lo), hi);
}

// The columns as the state holds them at the moment of reading, with the step's input vp: the
// predictions read the previous step's currents, the state update the new currents and the old
// state (all its rows are summed before any is stored), the outputs the new state.
struct Columns {
  const PowerStateT<Float4>& st;
  Float4 vp;
  Float4 operator[](int k) const {
    switch (k) {
      case 11:
        return vp;
      case 12:
        return Float4{375.0f, 375.0f, 375.0f, 375.0f};
      case 13:
        return Float4{-62.5f, -62.5f, -62.5f, -62.5f};
      case 14:
        return st.i3a;
      case 15:
        return st.i3b;
      case 16:
        return st.i4a;
      case 17:
        return st.i4b;
      case 18:
        return st.i5;
      case 19:
        return st.i6;
      default:
        return st.s[k];
    }
  }
};

}  // namespace power_lanes

template <>
inline Float4 PowerBlock::process<Float4>(PowerStateT<Float4>& st, const ValveTables& tables, Float4 vp,
                                          Float4 coupling, Float4 preampTap, Float4 dryValue,
                                          const PowerSettings& settings, float dcPole) {
  using namespace power_lanes;
  Float4* s = st.s;
  s[10] = coupling;
  // Each set of rows reads the columns as they stand (see Columns).
  const Columns c{st, vp};

  // The rows are paired by kind, so that one located position serves two elements: lanes 0 and
  // 1 the first driver (or output valve), lanes 2 and 3 the second.
  const Float4 x34 = rowPair(kP3x, kP4x, c);
  const Float4 c34 = rowPair(kP3c, kP4c, c);
  const Float4 x56 = rowPair(kP5x, kP6x, c);
  const Float4 c56 = rowPair(kP5c, kP6c, c);
  const Float4 predicted[8] = {rowA(x34), rowA(c34), rowB(x34), rowB(c34),
                               rowA(x56), rowA(c56), rowB(x56), rowB(c56)};
  for (int k = 0; k < 8; ++k) st.prediction[k] = predicted[k];

  const TablePosition4 drivers =
      ValveTables::locate(clampTo(x34, perQuantity(-30.0f, -15.0f), perQuantity(50.0f, 40.0f)),
                          kDriverSamples, clampTo(c34, Float4{} + 200.0f, Float4{} + 400.0f), kDriverCurves);
  tables.readPair<0>(4, drivers, st.i3a, st.i3b);
  tables.readPair<2>(6, drivers, st.i4a, st.i4b);
  const TablePosition4 outputs =
      ValveTables::locate(clampTo(x56, Float4{} - 70.0f, Float4{} - 45.0f), kOutputSample,
                          clampTo(c56, Float4{} + 100.0f, Float4{} + 400.0f), kOutputCurve);
  st.i5 = tables.readSingle<0>(8, outputs);
  st.i6 = tables.readSingle<2>(9, outputs);

  const Float4 n01 = rowPair(kS0, kS1, c);
  const Float4 n23 = rowPair(kS2, kS3, c);
  const Float4 n45 = rowPair(kS4, kS5, c);
  const Float4 n6 = rowPair(kS6, kNone, c);
  s[0] = rowA(n01);
  s[1] = rowB(n01);
  s[2] = rowA(n23);
  s[3] = rowB(n23);
  s[4] = rowA(n45);
  s[5] = rowB(n45);
  s[6] = rowA(n6);
  s[7] = kK7 * st.vk - s[7];
  s[8] = kK8 * st.vk - s[8];
  s[9] = kK9 * st.vk - s[9];

  const Float4 vkz = rowPair(kVk, kZ, c);
  const Float4 yps = rowPair(kYp, kS, c);
  st.vk = rowA(vkz);
  st.feedback = rowB(vkz);
  st.supply = rowB(yps);
  const Float4 yp = rowA(yps);

  const Float4 w = choose(settings.tapPower, yp * 0.02f, preampTap * 0.05f);
  const Float4 y = st.dc.process(w, dcPole);
  return settings.mix * y + settings.dry * dryValue;
}
