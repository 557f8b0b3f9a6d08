// The valve tables: values exactly those of evaluating each curve's polynomial on its own, and
// the read's behaviour at and beyond the axis edges.
#include <gtest/gtest.h>

#include <cmath>

#include "model/ValveData.h"
#include "model/ValveTables.h"
#include "tests/support/ValveCurve.h"

namespace {

// The curve value by the defining procedure: powers summed in rising order, then scaled.
float reference(int bank, int curve, int sample) {
  return valveCurveValue(bank, curve, sample);
}

TEST(ValveTables, EveryValueEqualsThePolynomialEvaluatedOnItsOwn) {
  const ValveTables& t = ValveTables::shared();
  int checked = 0;
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      for (int i = b * 7 + j; i < 44100; i += 997) {
        ASSERT_EQ(t.at(b, j, i), reference(b, j, i)) << b << " " << j << " " << i;
        ++checked;
      }
      ASSERT_EQ(t.at(b, j, 0), reference(b, j, 0));
      ASSERT_EQ(t.at(b, j, 44099), reference(b, j, 44099));
      ASSERT_EQ(t.at(b, j, 44100), t.at(b, j, 44099)) << "guard copy";
    }
  }
  EXPECT_GT(checked, 4000);
}

TEST(ValveTables, TopOfTheSampleAxisIsTheScaleFactor) {
  const ValveTables& t = ValveTables::shared();
  for (int b = 0; b < 10; ++b) {
    for (int j = 0; j < 10; ++j) {
      const float ratio = t.at(b, j, 44099) / kValveScales[b][j];
      EXPECT_GT(ratio, 0.97f) << b << " " << j;
      EXPECT_LT(ratio, 1.004f) << b << " " << j;
    }
  }
}

TEST(ValveTables, SharedByEveryCaller) {
  EXPECT_EQ(&ValveTables::shared(), &ValveTables::shared());
}

TEST(TableRead, AxisEdgesClampAndTheGuardSampleIsNeverNeeded) {
  const TableAxis x{-4.0f, 1.0f / 24.0f};
  const TableAxis c{50.0f, 1.0f / 150.0f};
  TablePosition top = ValveTables::locate(20.0f, x, 200.0f, c);
  EXPECT_EQ(top.i0, 44099);
  EXPECT_EQ(top.i1, 44099);
  EXPECT_EQ(top.fs, 0.0f);
  EXPECT_EQ(top.c0, 9);
  EXPECT_EQ(top.c1, 9);
  EXPECT_EQ(top.fc, 0.0f);

  TablePosition above = ValveTables::locate(1e9f, x, 1e9f, c);
  EXPECT_EQ(above.i0, 44099);
  EXPECT_EQ(above.c0, 9);
  TablePosition below = ValveTables::locate(-1e9f, x, -1e9f, c);
  EXPECT_EQ(below.i0, 0);
  EXPECT_EQ(below.c0, 0);
  EXPECT_EQ(below.c1, 1);
  EXPECT_EQ(below.fc, 0.0f);
  TablePosition nan = ValveTables::locate(std::nanf(""), x, std::nanf(""), c);
  EXPECT_EQ(nan.i0, 0);
  EXPECT_EQ(nan.c0, 0);
}

TEST(TableRead, InterpolatesLinearlyAlongBothAxesAndBothChannelsReadTheSame) {
  const ValveTables& t = ValveTables::shared();
  const TableAxis x{-4.0f, 1.0f / 24.0f};
  const TableAxis c{50.0f, 1.0f / 150.0f};
  // Halfway between curves 3 and 4 and near a sample: the read lies between its four corners.
  const TablePosition p = ValveTables::locate(7.3f, x, 50.0f + 150.0f * 3.5f / 9.0f, c);
  EXPECT_EQ(p.c0, 3);
  EXPECT_NEAR(p.fc, 0.5f, 1e-4f);
  const float v = t.read(1, p);
  const float a = t.at(1, 3, p.i0), b = t.at(1, 3, p.i1), d = t.at(1, 4, p.i0), e = t.at(1, 4, p.i1);
  EXPECT_GE(v, std::fmin(std::fmin(a, b), std::fmin(d, e)));
  EXPECT_LE(v, std::fmax(std::fmax(a, b), std::fmax(d, e)));
  EXPECT_NEAR(v, 0.5f * ((a + (b - a) * p.fs) + (d + (e - d) * p.fs)), 1e-9f);
  // The two-channel read gives each channel exactly its own value.
  const TablePosition q = ValveTables::locate(-1.0f, x, 120.0f, c);
  const TablePosition4 both =
      ValveTables::locate(lanes(7.3f, -1.0f), x, lanes(50.0f + 150.0f * 3.5f / 9.0f, 120.0f), c);
  Float4 r0, r1;
  t.readPair(0, both, r0, r1);
  EXPECT_EQ(r1[0], v);
  EXPECT_EQ(r1[1], t.read(1, q));
  EXPECT_EQ(r0[0], t.read(0, p));
  EXPECT_EQ(r0[1], t.read(0, q));
  // The output valves' banks are read alone.
  const TableAxis ox{-70.0f, 1.0f / 25.0f};
  const TableAxis oc{100.0f, 1.0f / 300.0f};
  const TablePosition4 out = ValveTables::locate(lanes(-45.0f, -60.3f), ox, lanes(400.0f, 217.0f), oc);
  Float4 r8, r9;
  t.readSingles(8, 9, out, r8, r9);
  const TablePosition top = ValveTables::locate(-45.0f, ox, 400.0f, oc);
  const TablePosition inside = ValveTables::locate(-60.3f, ox, 217.0f, oc);
  EXPECT_EQ(r8[0], t.read(8, top));
  EXPECT_EQ(r8[1], t.read(8, inside));
  EXPECT_EQ(r9[0], t.read(9, top));
  EXPECT_EQ(r9[1], t.read(9, inside));
}

}  // namespace
