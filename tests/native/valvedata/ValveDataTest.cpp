// Checks the committed valve characteristic data: the given rows are reproduced exactly, and
// every curve, built into a table the way the model builds it, has the shape and size its
// element's currents must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/ValveData.h"
#include "tests/support/ValveCurve.h"

namespace {

constexpr int kTop = kValveCurveTop;

// One curve's table, built as the model builds it.
std::vector<float> buildCurve(int bank, int curve) {
  std::vector<float> table(kTop + 1);
  for (int i = 0; i <= kTop; ++i) table[i] = valveCurveValue(bank, curve, i);
  return table;
}

const std::vector<float>& curveTable(int bank, int curve) {
  static std::vector<float> tables[10][10];
  std::vector<float>& t = tables[bank][curve];
  if (t.empty()) t = buildCurve(bank, curve);
  return t;
}

// Value at a sample-axis position 0..1 of the bank's range.
float at(int bank, int curve, double position) {
  return curveTable(bank, curve)[static_cast<int>(std::lround(position * kTop))];
}

float sumOfCoefficients(int bank, int curve) {
  float sum = 0.0f;
  for (int k = 0; k < 21; ++k) sum += kValveCoefficients[bank][curve][k];
  return sum;
}

TEST(ValveData, GivenRowsAreReproducedExactly) {
  // First preamp element, grid-current curve 0, powers 0..20 (stored highest power first).
  const float bank0Curve0[21] = {
      0.37542179f, 0.61640769f, 0.088996865f, 0.30776474f, -3.3324840f, -4.9154692f, 47.350235f,
      30.806152f,  -327.19299f, -79.602509f,  1246.2384f,  40.535126f,  -2789.5410f, 184.66348f,
      3778.7441f,  -375.39001f, -3054.1494f,  278.99472f,  1357.7012f,  -75.515671f, -255.78259f};
  for (int p = 0; p <= 20; ++p) EXPECT_EQ(kValveCoefficients[0][0][20 - p], bank0Curve0[p]) << "power " << p;

  const float scales0[10] = {2.7805532e-4f, 2.7118868e-4f, 2.6485816e-4f, 2.5875913e-4f, 2.5273196e-4f,
                             2.4670220e-4f, 2.4063606e-4f, 2.3451845e-4f, 2.2834312e-4f, 2.2210817e-4f};
  const float scales1[10] = {1.0478974e-3f, 1.3403792e-3f, 1.6100265e-3f, 1.8698114e-3f, 2.1265377e-3f,
                             2.3833730e-3f, 2.6417580e-3f, 2.9023360e-3f, 3.1653719e-3f, 3.4309474e-3f};
  for (int j = 0; j < 10; ++j) {
    EXPECT_EQ(kValveScales[0][j], scales0[j]) << "curve " << j;
    EXPECT_EQ(kValveScales[1][j], scales1[j]) << "curve " << j;
  }
  for (int bank : {8, 9}) {
    EXPECT_EQ(kValveScales[bank][0], 3.3399780e-4f);
    EXPECT_EQ(kValveScales[bank][9], 1.3351439e-3f);
    for (int j = 1; j < 10; ++j) {
      float step = kValveScales[bank][j] - kValveScales[bank][j - 1];
      EXPECT_NEAR(step, 1.11238e-4f, 2e-9f) << "bank " << bank << " step to curve " << j;
    }
  }
}

TEST(ValveData, EveryCurveIsNormalisedToItsScaleAtTheTop) {
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      float sum = sumOfCoefficients(b, j);
      EXPECT_GE(sum, 0.97f) << b << "/" << j;
      EXPECT_LE(sum, 1.004f) << b << "/" << j;
      // The table's top sample is the scale factor (the first element's linear extension
      // continues from it, so a gap there would be a step in the current). Curves with sharp
      // knees have coefficients in the thousands, and their single-precision evaluation
      // alone moves the value by up to about 0.2 %.
      float top = curveTable(b, j)[kTop];
      EXPECT_NEAR(top / kValveScales[b][j], 1.0f, 3e-3f) << b << "/" << j;
    }
  }
}

TEST(ValveData, NoCurveBlowsUpTowardsTheEndsOfTheAxis) {
  // A fit that misbehaves near u = -1 or +1 shows as values far outside the current's range.
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      const std::vector<float>& t = curveTable(b, j);
      auto [lo, hi] = std::minmax_element(t.begin(), t.end());
      float scale = kValveScales[b][j];
      EXPECT_GE(*lo, -0.05f * scale) << b << "/" << j;
      EXPECT_LE(*hi, 1.05f * scale) << b << "/" << j;
      for (float v : t) ASSERT_TRUE(std::isfinite(v));
    }
  }
}

TEST(ValveData, TablesAreSmoothFromSampleToSample) {
  // The model sums large alternating terms in float; fits with huge coefficients come out
  // ragged from one sample to the next (2 % of full scale for an unpenalised fit of the
  // sharpest knee), which the circuit would turn into noise. The given row of bank 0 is the
  // roughest kept, at about 0.17 %.
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      const std::vector<float>& t = curveTable(b, j);
      float worst = 0.0f;
      for (int i = 1; i < kTop; ++i) worst = std::max(worst, std::fabs(t[i + 1] - 2.0f * t[i] + t[i - 1]));
      EXPECT_LE(worst, 2.5e-3f * kValveScales[b][j]) << b << "/" << j;
    }
  }
}

TEST(ValveData, CurrentsRiseAlongTheSampleAxis) {
  // Every element's currents rise with its sample-axis voltage. A degree-20 fit ripples
  // around the sharp knees (grid-current onset, cut-off; worst: the first element's plate
  // current at its lowest plate voltage, about 4.6 %), so a fall is allowed up to 5 % of
  // full scale; a reversed or misplaced curve falls by all of it.
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      const std::vector<float>& t = curveTable(b, j);
      float runningMax = t[0];
      float worstFall = 0.0f;
      for (float v : t) {
        runningMax = std::max(runningMax, v);
        worstFall = std::max(worstFall, runningMax - v);
      }
      EXPECT_LE(worstFall, 0.05f * kValveScales[b][j]) << b << "/" << j;
      EXPECT_LT(at(b, j, 0.5), at(b, j, 1.0)) << b << "/" << j;
    }
  }
  // The first element's grid current is about 0 below 0 V (the sample axis runs -4..20 V).
  for (int j = 0; j < 10; ++j) {
    for (double volts = -4.0; volts <= 0.0; volts += 0.5) {
      EXPECT_LE(std::fabs(at(0, j, (volts + 4.0) / 24.0)), 0.01f * kValveScales[0][j])
          << j << " at " << volts;
    }
  }
}

TEST(ValveData, CurveAxisOrderMatchesEachCurrent) {
  // Grid currents (banks 0, 2, 4, 6) fall as the plate-side voltage rises; plate currents
  // (banks 1, 3, 5, 7, 8, 9) rise with it. Checked at the top and in the middle of the axis.
  for (int b = 0; b < 10; ++b) {
    bool falls = b < 8 && b % 2 == 0;
    for (int j = 1; j < 10; ++j) {
      for (double position : {0.75, 1.0}) {
        float previous = at(b, j - 1, position), current = at(b, j, position);
        if (falls) {
          EXPECT_LT(current, previous) << b << "/" << j << " at " << position;
        } else {
          EXPECT_GT(current, previous) << b << "/" << j << " at " << position;
        }
      }
    }
  }
}

TEST(ValveData, MaximaMatchTheElementsDescribedCurrents) {
  struct Expected {
    int bank, curve;
    double position;  // along the sample axis, 0..1
    float amperes;
  };
  // The currents each element is described to reach (two or three significant digits),
  // checked within 5 %.
  const Expected expected[] = {
      {2, 0, 1.0, 1.27e-4}, {2, 9, 1.0, 2.7e-5},  {3, 0, 1.0, 5.4e-4},  {3, 9, 1.0, 1.55e-3},
      {4, 0, 1.0, 3.2e-4},  {5, 0, 1.0, 2.04e-3}, {5, 9, 1.0, 3.68e-3}, {6, 0, 1.0, 2.5e-3},
      {6, 9, 1.0, 7.9e-4},  {7, 0, 1.0, 2.2e-3},  {7, 9, 1.0, 4.3e-3},  {8, 0, 0.0, 1.3e-4},
      {9, 0, 0.0, 1.3e-4},
  };
  for (const Expected& e : expected) {
    EXPECT_NEAR(at(e.bank, e.curve, e.position), e.amperes, 0.05f * e.amperes) << e.bank << "/" << e.curve;
  }
  // The small-current maximum of the first driver element is its curve 0.
  for (int j = 0; j < 10; ++j) {
    const std::vector<float>& t = curveTable(4, j);
    EXPECT_LE(*std::max_element(t.begin(), t.end()), 3.2e-4f * 1.05f) << j;
  }
}

TEST(ValveData, OutputValvesAgreeToAboutOnePartPerMillion) {
  for (int j = 0; j < 10; ++j) {
    const std::vector<float>& t8 = curveTable(8, j);
    const std::vector<float>& t9 = curveTable(9, j);
    double worst = 0.0;
    for (int i = 0; i <= kTop; ++i) worst = std::max(worst, std::fabs(double(t9[i]) / t8[i] - 1.0));
    EXPECT_LE(worst, 3e-6) << "curve " << j;
    for (int k = 0; k < 21; ++k) {
      float c8 = kValveCoefficients[8][j][k], c9 = kValveCoefficients[9][j][k];
      EXPECT_NEAR(c9, c8, 5e-6f * std::fabs(c8) + 1e-12f) << "curve " << j << " coefficient " << k;
    }
  }
}

}  // namespace
