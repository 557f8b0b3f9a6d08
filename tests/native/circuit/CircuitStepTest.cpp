// One internal step of the preamp and power blocks checked against the circuit's printed
// matrices: which previous-step currents each table-voltage prediction takes, the near-equal
// constants, the order of the companion updates, and output rows worked out by hand. Both the
// one-channel and the two-channel (vector) forms are held to the same numbers. Last, the idle
// behaviour of the output valves that follows from these equations.
#include <gtest/gtest.h>

#include <cmath>

#include "model/DcBlocker.h"
#include "model/PowerBlockLanes.h"
#include "model/PreampBlockLanes.h"
#include "model/ValveTables.h"

namespace {

float channel1(float v) {
  return v;
}
float channel1(Float4 v) {
  return v[0];
}
template <typename F>
F both(float v) {
  return F{} + v;
}

// One power-block step (power tap, fully wet) from a copy of st; the copy after the step.
template <typename F>
PowerStateT<F> powerStep(PowerStateT<F> st, float vp, float coupling, float* out = nullptr) {
  const PowerSettings settings{true, 1.0f, 0.0f};
  const F q = PowerBlock::process(st, ValveTables::shared(), both<F>(vp), both<F>(coupling), F{}, F{},
                                  settings, dcBlockerPole());
  if (out != nullptr) *out = channel1(q);
  return st;
}

// F2 as printed. Rows p3x, p3c, p4x, p4c, p5x, p5c, p6x, p6c; columns i3a, i3b, i4a, i4b, i5s,
// i5, i6s, i6.
constexpr double kF2[8][8] = {
    {-98963.258, -8541.7207, -6921.1157, -8541.7207, 0, 31.27051, 0, -31.27051},
    {-8541.7207, -74503.805, -7531.8135, -14460.142, -65181.188, 34.405704, -5144.6313, -34.405704},
    {-6921.1157, -7531.8135, -7568.624, -7531.8135, 0, -0.21119808, 0, 0.21119808},
    {-8541.7207, -14460.142, -7531.8135, -82923.289, -5144.6313, 34.405704, -73599.672, -34.405704},
    {0, -65181.188, 0, -5144.6313, -65199.512, 0, -5144.0225, 0},
    {31.27051, 34.405704, -0.21119808, 34.405704, 0, -301623.47, 0, 301523.47},
    {0, -5144.6313, 0, -73599.672, -5144.0225, 0, -73617, 0},
    {-31.27051, -34.405704, 0.21119808, -34.405704, 0, 301523.47, 0, -301623.47}};

// The sensitivity of each prediction to one previous-step current must be its F2 entry, except
// for the element's own currents and the four entries of magnitude 0.21119808, which the
// prediction leaves out.
template <typename F>
void expectPowerCurrentColumns() {
  F PowerStateT<F>::*const current[6] = {&PowerStateT<F>::i3a, &PowerStateT<F>::i3b, &PowerStateT<F>::i4a,
                                         &PowerStateT<F>::i4b, &PowerStateT<F>::i5,  &PowerStateT<F>::i6};
  const int column[6] = {0, 1, 2, 3, 5, 7};
  const int element[6] = {0, 0, 1, 1, 2, 3};
  const PowerStateT<F> base = powerStep(PowerStateT<F>{}, 0.0f, 0.0f);
  const double delta = 1e-3;
  for (int k = 0; k < 6; ++k) {
    PowerStateT<F> st{};
    st.*current[k] = both<F>(static_cast<float>(delta));
    const PowerStateT<F> moved = powerStep(st, 0.0f, 0.0f);
    for (int r = 0; r < 8; ++r) {
      const double printed = kF2[r][column[k]];
      const bool used = r / 2 != element[k] && std::fabs(std::fabs(printed) - 0.21119808) > 1e-9;
      const double want = used ? printed : 0.0;
      const double got = (channel1(moved.prediction[r]) - channel1(base.prediction[r])) / delta;
      EXPECT_NEAR(got, want, 1e-4 * std::fabs(want) + 0.05) << "prediction " << r << ", current " << k;
    }
  }
}

TEST(PowerBlockStep, PredictionsTakeTheOtherElementsPreviousCurrentsOnly) {
  expectPowerCurrentColumns<float>();
  expectPowerCurrentColumns<Float4>();
}

// The companions: each new value is its gain times the previous step's vk minus its own previous
// value, and the output valves' predictions read them before that update (p5c + s7, p6c - s8,
// -/+ 15.619337 s9).
template <typename F>
void expectCompanions() {
  PowerStateT<F> st{};
  st.vk = both<F>(2e-6f);
  st.s[7] = both<F>(3.0f);
  st.s[8] = both<F>(-4.0f);
  st.s[9] = both<F>(1.5f);
  const PowerStateT<F> after = powerStep(st, 0.0f, 0.0f);
  EXPECT_EQ(channel1(after.s[7]), 768000000.0f * 2e-6f - 3.0f);
  EXPECT_EQ(channel1(after.s[8]), 768000000.0f * 2e-6f + 4.0f);
  EXPECT_EQ(channel1(after.s[9]), 49152000.0f * 2e-6f - 1.5f);

  const PowerStateT<F> base = powerStep(PowerStateT<F>{}, 0.0f, 0.0f);
  const double sensitivity[3][2] = {{1.0, 0.0}, {0.0, -1.0}, {-15.619337, 15.619337}};  // on p5c, p6c
  for (int c = 0; c < 3; ++c) {
    PowerStateT<F> moved{};
    moved.s[7 + c] = both<F>(10.0f);
    moved = powerStep(moved, 0.0f, 0.0f);
    for (int r = 0; r < 8; ++r) {
      const double want = r == 5 ? sensitivity[c][0] : r == 7 ? sensitivity[c][1] : 0.0;
      const double got = (channel1(moved.prediction[r]) - channel1(base.prediction[r])) / 10.0;
      EXPECT_NEAR(got, want, 1e-5) << "prediction " << r << ", s" << 7 + c;
    }
  }
}

TEST(PowerBlockStep, CompanionsUseThePreviousVkAndAreReadBeforeTheirUpdate) {
  expectCompanions<float>();
  expectCompanions<Float4>();
}

// Three steps from the reset state with an input and a coupling value; after each, the supply
// node and the output worked out from the printed G2, H2 and J2 rows and the step's new state
// and currents.
template <typename F>
void expectPowerOutputsByHand() {
  PowerStateT<F> st{};
  for (int step = 0; step < 3; ++step) {
    const float vp = 0.5f, yb = 2e-4f;
    float q = 0.0f;
    const PowerStateT<F> before = st;
    st = powerStep(st, vp, yb, &q);
    double s[10];
    for (int k = 0; k < 10; ++k) s[k] = channel1(st.s[k]);
    const double i3a = channel1(st.i3a), i3b = channel1(st.i3b), i4a = channel1(st.i4a),
                 i4b = channel1(st.i4b);
    const double i5 = channel1(st.i5), i6 = channel1(st.i6);
    const double supply = 0.88575089 * s[2] + 0.83593142 * s[3] - 10272.762 * yb + 0.93388742 * 375.0 +
                          0.0661126 * -62.5 - 7483.709 * i3b - 7062.7847 * i4b;
    EXPECT_NEAR(channel1(st.supply), supply, 2e-3) << step;
    const double yp = -0.00052117516 * s[0] - 3.5199676e-07 * s[1] - 230.03246 * s[4] + 0.013467526 * s[5] -
                      0.013467526 * s[6] + 0.00036240803 * s[9] + 2.0013126e-06 * vp + 2.0013125 * i3a +
                      2.2019651 * i3b - 0.013516677 * i4a + 2.2019651 * i4b - 19297.502 * i5 + 19297.502 * i6;
    // The output DC blocker's input is 0.02 yp; its output, q, is that input's change plus R times
    // its previous output.
    const double previousIn = channel1(before.dc.xPrev), previousOut = channel1(before.dc.yPrev);
    EXPECT_NEAR(q, 0.02 * yp - previousIn + dcBlockerPole() * previousOut, 1e-4) << step;
  }
}

TEST(PowerBlockStep, SupplyAndOutputRowsAsPrinted) {
  expectPowerOutputsByHand<float>();
  expectPowerOutputsByHand<Float4>();
}

// One preamp step from a copy of s, supply feedback off (Vs = 270), drive 1.
template <typename F>
PreampStateT<F> preampStep(PreampStateT<F> s, float toneOut, float z, PreampResultT<F>* out = nullptr) {
  const PreampResultT<F> r = PreampBlock::process(s, ValveTables::shared(), both<F>(toneOut), 1.0f, 1.0f,
                                                  false, both<F>(270.0f), both<F>(z), dcBlockerPole());
  if (out != nullptr) *out = r;
  return s;
}

// The preamp's predictions see only the other element's previous currents (p1c: i2a, i2b; p2x
// and p2c: i1b) and the power block's feedback z through D1's x6 column; p2c's x6 entry is
// -39863.922. The first output from the reset state, worked out by hand, has -40863.922 there.
template <typename F>
void expectPreampRows() {
  const PreampStateT<F> base = preampStep(PreampStateT<F>{}, 0.0f, 0.0f);
  F PreampStateT<F>::*const current[4] = {&PreampStateT<F>::i1a, &PreampStateT<F>::i1b, &PreampStateT<F>::i2a,
                                          &PreampStateT<F>::i2b};
  const double cross[4][4] = {
      {0, 0, 0, 0}, {0, 0, -26271.012, -24727.646}, {0, -26271.012, 0, 0}, {0, -24727.646, 0, 0}};
  for (int k = 0; k < 4; ++k) {
    PreampStateT<F> st{};
    st.*current[k] = both<F>(1e-3f);
    const PreampStateT<F> moved = preampStep(st, 0.0f, 0.0f);
    for (int r = 0; r < 4; ++r) {
      const double got = (channel1(moved.prediction[r]) - channel1(base.prediction[r])) / 1e-3;
      EXPECT_NEAR(got, cross[r][k], 1e-4 * std::fabs(cross[r][k]) + 0.05)
          << "prediction " << r << ", current " << k;
    }
  }

  const float z = 2e-3f, tone = 0.05f;
  PreampResultT<F> r;
  const PreampStateT<F> st = preampStep(PreampStateT<F>{}, tone, z, &r);
  const double x6Column[4] = {-1458.2642, -24727.646, -24695.514, -39863.922};
  const double ownInputs[4][2] = {{0.94237232, 0.054009784},
                                  {0.022813192, 0.91583872},
                                  {0.022783548, 0.91464865},
                                  {0.021445062, 0.92088598}};
  for (int p = 0; p < 4; ++p) {
    EXPECT_NEAR(channel1(st.prediction[p]),
                x6Column[p] * z + ownInputs[p][0] * tone + ownInputs[p][1] * 270.0, 1e-3)
        << "prediction " << p;
  }
  double x[8];
  for (int k = 0; k < 8; ++k) x[k] = channel1(st.x[k]);
  const double i1a = channel1(st.i1a), i1b = channel1(st.i1b), i2a = channel1(st.i2a), i2b = channel1(st.i2b);
  const double yo = 23269.381 * x[0] - 136.27536 * x[2] + 7.5089812 * x[3] + 8.5804014 * x[4] +
                    0.50252545 * x[5] - 40863.922 * z + 0.021445062 * tone + 0.92088598 * 270.0 -
                    1458.2642 * i1a - 24727.646 * i1b - 24695.514 * i2a - 39863.922 * i2b;
  const double yb = 0.86182892 * x[0] - 0.0050472352 * x[2] + 0.00027811041 * x[3] + 0.00031779264 * x[4] +
                    1.8612054e-05 * x[5] - 0.92088598 * z + 7.9426155e-07 * tone - 2.9301495e-06 * 270.0 -
                    0.054009784 * i1a - 0.91583872 * i1b - 0.91464865 * i2a - 0.92088598 * i2b;
  EXPECT_NEAR(channel1(r.tap), yo, 2e-3);  // the DC blocker's first output is its input
  EXPECT_NEAR(channel1(r.coupling), yb, 1e-7);
}

TEST(PreampBlockStep, CrossCouplingAndNearConstantsAsPrinted) {
  expectPreampRows<float>();
  expectPreampRows<Float4>();
}

// What the equations make of the output valves at idle. Their curve-axis predictions carry
// 375 V plus 301523.47 times the other valve's previous current (about 0.9 mA), so they average
// near 650 V, above the table's 400 V top, whatever the idle current (the tables never fall below
// about 0.13 mA, i.e. +39 V). With both reads at the top edge the linearised step has a
// half-rate mode with eigenvalue about -1.00014 (s4's own -0.99940574 closed through the drivers'
// currents and the output grids' previous-step coupling), so an alternation grows until its low
// half comes down to 400 V, where the valve's slope stops it: p5c and p6c alternate between
// about 400 V and 900 V from step to step. The companions s7 and s8 follow it undamped (s7 - s8
// and s7 - 15.625 s9 are multiplied by exactly -1 every step). The one-channel and the vector
// form run the same numbers throughout.
TEST(IdleOutputValves, AlternateBetweenTheTableTopAndFarAboveIt) {
  const ValveTables& tables = ValveTables::shared();
  const float pole = dcBlockerPole();
  const PowerSettings settings{true, 1.0f, 0.0f};
  PreampState pre;
  PowerState power;
  PreampStateT<Float4> pre4;
  PowerStateT<Float4> power4;
  double sum5 = 0.0, sum6 = 0.0, low5 = 1e9, high5 = -1e9;
  constexpr int kSteps = 250000, kWatched = 2000;
  for (int n = 0; n < kSteps; ++n) {
    const PreampResultT<float> r =
        PreampBlock::process(pre, tables, 0.0f, 1.0f, 1.0f, false, power.supply, power.feedback, pole);
    PowerBlock::process(power, tables, r.powerInput, r.coupling, r.tap, 0.0f, settings, pole);
    const PreampResultT<Float4> r4 =
        PreampBlock::process(pre4, tables, Float4{}, 1.0f, 1.0f, false, power4.supply, power4.feedback, pole);
    PowerBlock::process(power4, tables, r4.powerInput, r4.coupling, r4.tap, Float4{}, settings, pole);
    ASSERT_EQ(power.prediction[5], power4.prediction[5][0]) << n;
    ASSERT_EQ(power.s[7], power.s[8]) << n;
    if (n >= kSteps - kWatched) {
      sum5 += power.prediction[5];
      sum6 += power.prediction[7];
      low5 = std::fmin(low5, power.prediction[5]);
      high5 = std::fmax(high5, power.prediction[5]);
    }
  }
  EXPECT_GT(sum5 / kWatched, 500.0);
  EXPECT_GT(sum6 / kWatched, 500.0);
  EXPECT_NEAR(low5, 400.0, 3.0);
  EXPECT_GT(high5, 800.0);
}

}  // namespace

namespace {

// Driven hard, both channels with different signals, every output tap and supply setting: each
// lane of the vector form follows its channel's one-channel form exactly, step for step.
TEST(VectorForm, EachLaneFollowsItsChannelStepForStepWhenDriven) {
  const ValveTables& tables = ValveTables::shared();
  const float pole = dcBlockerPole();
  for (const bool tapPower : {false, true}) {
    for (const bool supplyOn : {false, true}) {
      const PowerSettings settings{tapPower, 0.7f, 0.3f};
      const float drive = tapPower ? 1.0f : 8.0f;
      PreampState pre[2];
      PowerState power[2];
      PreampStateT<Float4> pre4;
      PowerStateT<Float4> power4;
      for (int n = 0; n < 40000; ++n) {
        const float in[2] = {3.0f * std::sin(n * 0.0031f),
                             0.5f * std::sin(n * 0.047f) + 0.4f * std::sin(n * 0.0007f)};
        float out[2];
        for (int ch = 0; ch < 2; ++ch) {
          const PreampResultT<float> r =
              PreampBlock::process(pre[ch], tables, in[ch], drive, 1.0f / drive, supplyOn, power[ch].supply,
                                   power[ch].feedback, pole);
          out[ch] =
              PowerBlock::process(power[ch], tables, r.powerInput, r.coupling, r.tap, in[ch], settings, pole);
        }
        const Float4 in4 = lanes(in[0], in[1]);
        const PreampResultT<Float4> r4 = PreampBlock::process(pre4, tables, in4, drive, 1.0f / drive,
                                                              supplyOn, power4.supply, power4.feedback, pole);
        const Float4 out4 =
            PowerBlock::process(power4, tables, r4.powerInput, r4.coupling, r4.tap, in4, settings, pole);
        ASSERT_EQ(out[0], out4[0]) << n << " tap " << tapPower << " supply " << supplyOn;
        ASSERT_EQ(out[1], out4[1]) << n << " tap " << tapPower << " supply " << supplyOn;
      }
    }
  }
}

}  // namespace
