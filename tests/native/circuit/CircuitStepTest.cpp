// One internal step of the preamp and power blocks: which previous-step currents each
// table-voltage prediction takes (against the circuit's printed F2 matrix), the order of the
// companion updates, and the output rows worked out in double precision from the matrices with
// the step's new state and currents. Both the one-channel and the two-channel (vector) forms are
// held to the same numbers. Last, the idle behaviour of the output valves that follows from these
// equations.
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

// A matrix row over columns held in double precision.
template <int N>
double dot(const float (&row)[N], const double (&column)[N]) {
  double sum = 0.0;
  for (int k = 0; k < N; ++k) sum += static_cast<double>(row[k]) * column[k];
  return sum;
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
  const float* gain = power_circuit::kCompanionGain;
  EXPECT_EQ(channel1(after.s[7]), gain[0] * 2e-6f - 3.0f);
  EXPECT_EQ(channel1(after.s[8]), gain[1] * 2e-6f + 4.0f);
  EXPECT_EQ(channel1(after.s[9]), gain[2] * 2e-6f - 1.5f);

  const PowerStateT<F> base = powerStep(PowerStateT<F>{}, 0.0f, 0.0f);
  for (int c = 0; c < 3; ++c) {
    PowerStateT<F> moved{};
    moved.s[7 + c] = both<F>(10.0f);
    moved = powerStep(moved, 0.0f, 0.0f);
    for (int r = 0; r < 8; ++r) {
      const double want = power_circuit::kPredict[r][power_circuit::kS7 + c];
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
// node and the output worked out from their rows and the step's new state and currents.
template <typename F>
void expectPowerOutputsByHand() {
  using namespace power_circuit;
  PowerStateT<F> st{};
  for (int step = 0; step < 3; ++step) {
    const float vp = 0.5f, yb = 2e-4f;
    float q = 0.0f;
    const PowerStateT<F> before = st;
    st = powerStep(st, vp, yb, &q);
    double column[kColumns];
    for (int k = 0; k < 10; ++k) column[k] = channel1(st.s[k]);
    column[kS10] = yb;
    column[kVp] = vp;
    column[kHigh] = kHighVoltage;
    column[kLow] = kLowVoltage;
    column[kI3a] = channel1(st.i3a);
    column[kI3b] = channel1(st.i3b);
    column[kI4a] = channel1(st.i4a);
    column[kI4b] = channel1(st.i4b);
    column[kI5] = channel1(st.i5);
    column[kI6] = channel1(st.i6);
    EXPECT_NEAR(channel1(st.supply), dot(kOutput[kSupply], column), 2e-3) << step;
    const double yp = dot(kOutput[kYp], column);
    // The output DC blocker's input is 0.02 yp; its output, q, is that input's change plus R times
    // its previous output.
    const double previousIn = channel1(before.dc.xPrev), previousOut = channel1(before.dc.yPrev);
    EXPECT_NEAR(q, 0.02 * yp - previousIn + dcBlockerPole() * previousOut, 1e-4) << step;
  }
}

TEST(PowerBlockStep, SupplyAndOutputRowsReadTheNewStateAndCurrents) {
  expectPowerOutputsByHand<float>();
  expectPowerOutputsByHand<Float4>();
}

// One preamp step from a copy of s, supply feedback off (Vs nominal), drive 1.
template <typename F>
PreampStateT<F> preampStep(PreampStateT<F> s, float toneOut, float z, PreampResultT<F>* out = nullptr) {
  const PreampResultT<F> r =
      PreampBlock::process(s, ValveTables::shared(), both<F>(toneOut), 1.0f, 1.0f, false,
                           both<F>(preamp_circuit::kNominalSupply), both<F>(z), dcBlockerPole());
  if (out != nullptr) *out = r;
  return s;
}

// The preamp's predictions see the other element's previous currents and the power block's
// feedback z of the previous step; the first outputs from the reset state, worked out from their
// rows with the new state and currents, see this step's z.
template <typename F>
void expectPreampRows() {
  using namespace preamp_circuit;
  const PreampStateT<F> base = preampStep(PreampStateT<F>{}, 0.0f, 0.0f);
  F PreampStateT<F>::*const current[4] = {&PreampStateT<F>::i1a, &PreampStateT<F>::i1b, &PreampStateT<F>::i2a,
                                          &PreampStateT<F>::i2b};
  for (int k = 0; k < 4; ++k) {
    PreampStateT<F> st{};
    st.*current[k] = both<F>(1e-3f);
    const PreampStateT<F> moved = preampStep(st, 0.0f, 0.0f);
    for (int r = 0; r < 4; ++r) {
      const double got = (channel1(moved.prediction[r]) - channel1(base.prediction[r])) / 1e-3;
      const double want = kPredict[r][kI1a + k];
      EXPECT_NEAR(got, want, 1e-4 * std::fabs(want) + 0.05) << "prediction " << r << ", current " << k;
    }
  }

  const float z = 2e-3f, tone = 0.05f;
  PreampResultT<F> r;
  const PreampStateT<F> st = preampStep(PreampStateT<F>{}, tone, z, &r);
  const double vs = kNominalSupply;
  for (int p = 0; p < 4; ++p) {
    EXPECT_NEAR(channel1(st.prediction[p]),
                kPredict[p][kZ] * z + kPredict[p][kVin] * tone + kPredict[p][kVs] * vs, 1e-3)
        << "prediction " << p;
  }
  double column[kColumns];
  for (int k = 0; k < 8; ++k) column[k] = channel1(st.x[k]);
  column[kVin] = tone;
  column[kVs] = vs;
  column[kI1a] = channel1(st.i1a);
  column[kI1b] = channel1(st.i1b);
  column[kI2a] = channel1(st.i2a);
  column[kI2b] = channel1(st.i2b);
  EXPECT_NEAR(channel1(r.tap), dot(kOutput[kYo], column),
              2e-3);  // the DC blocker's first output is its input
  EXPECT_NEAR(channel1(r.coupling), dot(kOutput[kYb], column), 1e-7);
}

TEST(PreampBlockStep, PredictionsReadThePreviousCurrentsAndOutputsTheNewOnes) {
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
