#include "model/PowerBlock.h"

#include "model/ValveTables.h"

namespace {
constexpr TableAxis kDriver1Sample{-30.0f, 1.0f / 80.0f};
constexpr TableAxis kDriver1Curve{200.0f, 1.0f / 200.0f};
constexpr TableAxis kDriver2Sample{-15.0f, 1.0f / 55.0f};
constexpr TableAxis kDriver2Curve{200.0f, 1.0f / 200.0f};
constexpr TableAxis kOutputSample{-70.0f, 1.0f / 25.0f};
constexpr TableAxis kOutputCurve{100.0f, 1.0f / 300.0f};

// The two constant inputs of the network (volts).
constexpr float kHigh = 375.0f;
constexpr float kLow = -62.5f;

// Companion gains of the trapezoidal states s7, s8, s9.
constexpr float kK7 = 768000000.0f;
constexpr float kK8 = 768000000.0f;
constexpr float kK9 = 49152000.0f;

// NaN lands on the lower edge, so a damaged prediction still reads inside the table.
template <typename F>
inline F clampTo(F v, float lo, float hi) {
  return atMost(atLeast(v, lo), hi);
}
}  // namespace

// Every row is accumulated left to right in the order state, inputs, currents; zero entries
// are left out. The output valves have no second table: their second current slots are 0 every
// step, so their columns contribute nothing and are omitted too.
template <typename F>
F PowerBlock::process(PowerStateT<F>& st, const ValveTables& tables, F vp, F coupling, F preampTap,
                      F dryValue, const PowerSettings& settings, float dcPole) {
  F* s = st.s;
  s[10] = coupling;

  // Predictions with the previous step's currents of the other elements only. The four entries
  // of magnitude 0.21119808 (p4x by i5 and i6, p5c and p6c by i4a) are not part of the
  // prediction.
  F p3x = -234.86113f * s[0] + -0.1586228f * s[1] + 0.37275457f * s[4] + -2.1823364e-05f * s[5] +
          2.1823364e-05f * s[6] + -5.872617e-07f * s[9] + 0.90186673f * vp + -6921.1157f * st.i4a +
          -8541.7207f * st.i4b + 31.27051f * st.i5 + -31.27051f * st.i6;
  F p3c = 2.0082607f * s[0] + -0.17452639f * s[1] + 7.7155762f * s[2] + 0.60897624f * s[3] +
          0.4101271f * s[4] + -2.4011382e-05f * s[5] + 2.4011382e-05f * s[6] + -6.4614079e-07f * s[9] +
          -7483.709f * s[10] + -0.0077117211f * vp + 0.68033719f * kHigh + 0.31966281f * kLow +
          -7531.8135f * st.i4a + -14460.142f * st.i4b + 34.405704f * st.i5 + -34.405704f * st.i6;
  F p4x = 1.586228f * s[0] + 25.866182f * s[1] + -0.0025175493f * s[4] + 1.4739294e-07f * s[5] +
          -1.4739294e-07f * s[6] + 3.9663099e-09f * s[9] + -0.0060911155f * vp + -6921.1157f * st.i3a +
          -7531.8135f * st.i3b;
  F p4c = 2.0082607f * s[0] + -0.17452639f * s[1] + 0.60897624f * s[2] + 8.7120829f * s[3] +
          0.4101271f * s[4] + -2.4011382e-05f * s[5] + 2.4011382e-05f * s[6] + -6.4614079e-07f * s[9] +
          -7062.7847f * s[10] + -0.0077117211f * vp + 0.64207131f * kHigh + 0.35792866f * kLow +
          -8541.7207f * st.i3a + -14460.142f * st.i3b + 34.405704f * st.i5 + -34.405704f * st.i6;
  F p5x = -18.323921f * s[2] + 0.60890418f * s[3] + -7482.8232f * s[10] + 0.68025666f * kHigh +
          0.31974334f * kLow + -65181.188f * st.i3b + -5144.6313f * st.i4b;
  F p5c = -0.0081433617f * s[0] + -5.4999491e-06f * s[1] + -3594.2571f * s[4] + 0.2104301f * s[5] +
          -0.2104301f * s[6] + s[7] + -15.619337f * s[9] + 3.1270509e-05f * vp + kHigh + 31.27051f * st.i3a +
          34.405704f * st.i3b + 34.405704f * st.i4b + 301523.47f * st.i6;
  F p6x = 0.60890418f * s[2] + -17.327534f * s[3] + -7061.9487f * s[10] + 0.64199537f * kHigh +
          0.35800466f * kLow + -5144.6313f * st.i3b + -73599.672f * st.i4b;
  F p6c = 0.0081433617f * s[0] + 5.4999491e-06f * s[1] + 3594.2571f * s[4] + -0.2104301f * s[5] +
          0.2104301f * s[6] + -s[8] + 15.619337f * s[9] + -3.1270509e-05f * vp + kHigh + -31.27051f * st.i3a +
          -34.405704f * st.i3b + -34.405704f * st.i4b + 301523.47f * st.i5;
  const F predicted[8] = {p3x, p3c, p4x, p4c, p5x, p5c, p6x, p6c};
  for (int k = 0; k < 8; ++k) st.prediction[k] = predicted[k];
  p3x = clampTo(p3x, -30.0f, 50.0f);
  p3c = clampTo(p3c, 200.0f, 400.0f);
  p4x = clampTo(p4x, -15.0f, 40.0f);
  p4c = clampTo(p4c, 200.0f, 400.0f);
  p5x = clampTo(p5x, -70.0f, -45.0f);
  p5c = clampTo(p5c, 100.0f, 400.0f);
  p6x = clampTo(p6x, -70.0f, -45.0f);
  p6c = clampTo(p6c, 100.0f, 400.0f);

  const auto e3 = ValveTables::locate(p3x, kDriver1Sample, p3c, kDriver1Curve);
  const F i3a = tables.read(4, e3);
  const F i3b = tables.read(5, e3);
  const auto e4 = ValveTables::locate(p4x, kDriver2Sample, p4c, kDriver2Curve);
  const F i4a = tables.read(6, e4);
  const F i4b = tables.read(7, e4);
  const F i5 = tables.read(8, ValveTables::locate(p5x, kOutputSample, p5c, kOutputCurve));
  const F i6 = tables.read(9, ValveTables::locate(p6x, kOutputSample, p6c, kOutputCurve));

  // State update of s0..s6 from the old state (s10 already holds this step's coupling value).
  F n[7];
  n[0] = 0.99953026f * s[0] + -3.1724559e-07f * s[1] + 7.4550911e-07f * s[4] + -4.3646725e-11f * s[5] +
         4.3646725e-11f * s[6] + -1.1745234e-12f * s[9] + 1.8037335e-06f * vp + 1.8037335f * i3a +
         -0.015423442f * i3b + -0.012182231f * i4a + -0.015423442f * i4b + 6.2541018e-05f * i5 +
         -6.2541018e-05f * i6;
  n[1] = -3.172456e-06f * s[0] + 0.99994826f * s[1] + 5.0350977e-09f * s[4] + -2.9478584e-13f * s[5] +
         2.9478584e-13f * s[6] + -7.9325881e-15f * s[9] + 1.2182231e-08f * vp + 0.012182231f * i3a +
         0.013403627f * i3b + -1.9865228f * i4a + 0.013403627f * i4b + 4.2239611e-07f * i5 +
         -4.2239611e-07f * i6;
  n[2] = 0.99983341f * s[2] + 5.5354926e-06f * s[3] + -0.068025663f * s[10] + 6.1841515e-06f * kHigh +
         -6.1841515e-06f * kLow + -0.59255624f * i3b + -0.046769377f * i4b;
  n[3] = 5.5354926e-06f * s[2] + 0.99984246f * s[3] + -0.064199537f * s[10] + 5.8363212e-06f * kHigh +
         -5.8363212e-06f * kLow + -0.046769377f * i3b + -0.66908795f * i4b;
  n[4] = -8.4263456e-07f * s[0] + -5.6910737e-10f * s[1] + -0.99940574f * s[4] + -3.479051e-08f * s[5] +
         3.479051e-08f * s[6] + 5.8594031e-07f * s[9] + 3.2357168e-09f * vp + 0.0032357166f * i3a +
         0.003560131f * i3b + -2.1853726e-05f * i4a + 0.003560131f * i4b + -31.20015f * i5 + 31.20015f * i6;
  n[5] = -8.4238178e-07f * s[0] + -5.6893668e-10f * s[1] + 0.00059406203f * s[4] + 0.99940008f * s[5] +
         -1.9994f * s[6] + 5.8576455e-07f * s[9] + 3.234746e-09f * vp + 0.0032347462f * i3a +
         0.0035590632f * i3b + -2.1847171e-05f * i4a + 0.0035590632f * i4b + -31.19079f * i5 + 31.19079f * i6;
  n[6] = -1.2869492e-12f * s[0] + -8.6919323e-16f * s[1] + 9.0757851e-10f * s[4] + 3.0545843e-06f * s[5] +
         0.99999696f * s[6] + 8.9490199e-13f * s[9] + 4.9418846e-15f * vp + 4.9418847e-09f * i3a +
         5.4373599e-09f * i3b + -3.3377023e-11f * i4a + 5.4373599e-09f * i4b + -4.7651742e-05f * i5 +
         4.7651742e-05f * i6;
  for (int k = 0; k < 7; ++k) s[k] = n[k];

  // Trapezoidal companions, driven by the previous step's vk. Nothing damps them at half the
  // step rate (s7 - s8 and s7 - 15.625 s9 change sign every step whatever vk does). At idle the
  // output valves' curve-axis predictions average about 650 V (375 V plus 301523.47 times the
  // other valve's current), above their tables; with both reads at the top edge s4's half-rate
  // mode, closed through the drivers and the output grids, grows (eigenvalue about -1.00014)
  // until p5c and p6c swing down to 400 V every other step. It is the circuit's own behaviour;
  // the down-sampler removes the 96 kHz ripple it puts on yp.
  s[7] = kK7 * st.vk - s[7];
  s[8] = kK8 * st.vk - s[8];
  s[9] = kK9 * st.vk - s[9];

  // Outputs from the new state.
  st.vk = 2.1206672e-11f * s[0] + 1.4322785e-14f * s[1] + 9.3600447e-06f * s[4] + -5.4799504e-10f * s[5] +
          5.4799504e-10f * s[6] + 4.0675356e-08f * s[9] + -8.1433619e-14f * vp + -8.1433619e-08f * i3a +
          -8.9598188e-08f * i3b + 5.4999499e-10f * i4a + -8.9598188e-08f * i4b + 0.00078521739f * i5 +
          -0.00078521739f * i6;
  st.supply = 0.88575089f * s[2] + 0.83593142f * s[3] + -10272.762f * s[10] + 0.93388742f * kHigh +
              0.0661126f * kLow + -7483.709f * i3b + -7062.7847f * i4b;
  st.feedback = 0.00023486113f * s[0] + 1.586228e-07f * s[1] + -3.7275456e-07f * s[4] +
                2.1823363e-11f * s[5] + -2.1823363e-11f * s[6] + 5.8726168e-13f * s[9] +
                -9.0186677e-07f * vp + -0.90186673f * i3a + 0.0077117211f * i3b + 0.0060911155f * i4a +
                0.0077117211f * i4b + -3.1270509e-05f * i5 + 3.1270509e-05f * i6;
  const F yp = -0.00052117516f * s[0] + -3.5199676e-07f * s[1] + -230.03246f * s[4] + 0.013467526f * s[5] +
               -0.013467526f * s[6] + 0.00036240803f * s[9] + 2.0013126e-06f * vp + 2.0013125f * i3a +
               2.2019651f * i3b + -0.013516677f * i4a + 2.2019651f * i4b + -19297.502f * i5 + 19297.502f * i6;
  st.i3a = i3a;
  st.i3b = i3b;
  st.i4a = i4a;
  st.i4b = i4b;
  st.i5 = i5;
  st.i6 = i6;

  const F w = choose(settings.tapPower, yp * 0.02f, preampTap * 0.05f);
  const F y = st.dc.process(w, dcPole);
  return settings.mix * y + settings.dry * dryValue;
}

template float PowerBlock::process(PowerStateT<float>&, const ValveTables&, float, float, float, float,
                                   const PowerSettings&, float);
