// The knob's geometry (angle of a value, value at a point, the dead zone), its drags, wheel
// and keys, and the film-strip knob's frame choice. Expected angles are worked out by hand
// from the default sweep: minimum at 225 degrees, clockwise over the top to -45 degrees.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/controls/CAnimKnob.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "tests/support/ControlTestSupport.h"

using namespace VSTGUI;
using controls_test::FrameFixture;

namespace {

constexpr float kPi = 3.14159265f;

// A point at angle degrees (counter-clockwise, y up) and distance from the centre of a
// knob of radius 50, relative to its top-left corner.
CPos pointAt(float degrees, float distance = 40.0f) {
  const float a = degrees * kPi / 180.0f;
  return CPos(static_cast<int32_t>(std::lround(50.0f + std::cos(a) * distance)),
              static_cast<int32_t>(std::lround(50.0f - std::sin(a) * distance)));
}

// A 100 x 100 knob at (10, 20) in its parent.
CKnob* makeKnob(CControlListener* listener = nullptr) {
  return new CKnob(CArea(10, 20, 110, 120), listener, 5, nullptr, nullptr);
}

}  // namespace

TEST(KnobGeometry, ValueAtPointFollowsTheClockwiseSweep) {
  CKnob* k = makeKnob();
  EXPECT_NEAR(k->valueAtPoint(pointAt(225)), 0.0f, 0.01f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(180)), 1.0f / 6.0f, 0.01f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(90)), 0.5f, 0.01f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(0)), 5.0f / 6.0f, 0.01f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(-45)), 1.0f, 0.01f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(-40)), 1.0f - 5.0f / 270.0f, 0.01f);
  k->release();
}

TEST(KnobGeometry, DeadZoneLeftHalfIsMinimumAndRightHalfMaximum) {
  CKnob* k = makeKnob();
  for (float deg : {230.0f, 250.0f, 268.0f}) EXPECT_EQ(k->valueAtPoint(pointAt(deg)), 0.0f) << deg;
  for (float deg : {272.0f, 290.0f, 310.0f}) EXPECT_EQ(k->valueAtPoint(pointAt(deg)), 1.0f) << deg;
  k->release();
}

TEST(KnobGeometry, HandlePointSitsInsetFromTheRimAtTheValuesAngle) {
  CKnob* k = makeKnob();
  CPos p;
  k->setValue(0.0f);
  k->handlePointForValue(p);
  EXPECT_EQ(p, CPos(17, 83));  // 225 degrees at radius 50 - inset 3
  k->setValue(0.5f);
  k->handlePointForValue(p);
  EXPECT_EQ(p, CPos(50, 3));
  k->setValue(1.0f);
  k->handlePointForValue(p);
  EXPECT_EQ(p, CPos(83, 83));
  // The handle point maps back to its value within the pixel rounding.
  for (float v = 0.0f; v <= 1.0f; v += 0.05f) {
    k->setValue(v);
    k->handlePointForValue(p);
    EXPECT_NEAR(k->valueAtPoint(p), v, 0.015f) << v;
  }
  k->setValue(std::numeric_limits<float>::quiet_NaN());
  k->handlePointForValue(p);  // must not convert a NaN to an integer
  EXPECT_EQ(p, CPos(17, 83));
  k->release();
}

TEST(KnobGeometry, RangeChangesKeepTheMapping) {
  CKnob* k = makeKnob();
  k->setMin(-10.0f);
  k->setMax(10.0f);
  EXPECT_NEAR(k->valueAtPoint(pointAt(90)), 0.0f, 0.2f);
  EXPECT_EQ(k->valueAtPoint(pointAt(250)), -10.0f);
  CPos p;
  k->setValue(10.0f);
  k->handlePointForValue(p);
  EXPECT_EQ(p, CPos(83, 83));
  k->release();
}

class KnobDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    f.editor.knobMode = kKnobModeLinear;
    knob = makeKnob(&f.listener);
    f.frame->addView(knob);
  }
  FrameFixture f;
  CKnob* knob = nullptr;
  const CPos start{60, 70};
};

TEST_F(KnobDrag, TwoHundredPixelsUpCoverTheRange) {
  EXPECT_EQ(f.frame->onMouseDown(start, kButtonLeft), kMouseHandled);
  EXPECT_TRUE(knob->isLinearDrag());
  f.frame->onMouseMoved(CPos(60, -30), kButtonLeft);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
  f.frame->onMouseMoved(CPos(60, -130), kButtonLeft);
  EXPECT_NEAR(knob->getValue(), 1.0f, 1e-6f);
  f.frame->onMouseMoved(CPos(60, -230), kButtonLeft);
  EXPECT_EQ(knob->getValue(), 1.0f) << "clamped";
  f.frame->onMouseUp(CPos(60, -230), kButtonLeft);
  EXPECT_TRUE(f.changesBracketed());
  EXPECT_EQ(f.count("host begin 5"), 1u);
  EXPECT_EQ(f.count("host end 5"), 1u);
}

TEST_F(KnobDrag, RightCountsLikeUpAndShiftStretchesToThreeHundred) {
  f.frame->onMouseDown(start, kButtonLeft | kModShift);
  f.frame->onMouseMoved(CPos(160, -30), kButtonLeft | kModShift);  // 100 right + 100 up
  EXPECT_NEAR(knob->getValue(), 200.0f / 300.0f, 1e-6f);
  f.frame->onMouseMoved(CPos(160, -130), kButtonLeft | kModShift);
  EXPECT_NEAR(knob->getValue(), 1.0f, 1e-6f);
}

TEST_F(KnobDrag, ShiftChangingMidDragDoesNotMakeTheValueJump) {
  f.frame->onMouseDown(start, kButtonLeft);
  f.frame->onMouseMoved(CPos(60, -30), kButtonLeft);
  ASSERT_NEAR(knob->getValue(), 0.5f, 1e-6f);
  f.frame->onMouseMoved(CPos(60, -31), kButtonLeft | kModShift);
  // The rate changes at the point where the change is seen: that pixel still counts at 1/200.
  EXPECT_NEAR(knob->getValue(), 0.505f, 1e-5f);
  f.frame->onMouseMoved(CPos(60, -60), kButtonLeft | kModShift);  // 29 more at the fine rate
  EXPECT_NEAR(knob->getValue(), 0.505f + 29.0f / 300.0f, 1e-5f);
  f.frame->onMouseMoved(CPos(60, -61), kButtonLeft);  // shift released
  EXPECT_NEAR(knob->getValue(), 0.605f, 1e-5f);
  f.frame->onMouseMoved(CPos(60, 9), kButtonLeft);  // back down 70 at the normal rate
  EXPECT_NEAR(knob->getValue(), 0.255f, 1e-5f);
}

TEST_F(KnobDrag, AltTurnsByAngleAndTheDeadZoneCannotBeCrossed) {
  const CPos leftHalf = pointAt(250);
  const CPos rightHalf = pointAt(290);
  knob->setValue(0.5f);
  f.frame->onMouseDown(CPos(10 + leftHalf.x, 20 + leftHalf.y), kButtonLeft | kModAlt);
  EXPECT_FALSE(knob->isLinearDrag());
  EXPECT_EQ(knob->getValue(), 0.0f);
  f.frame->onMouseMoved(CPos(10 + rightHalf.x, 20 + rightHalf.y), kButtonLeft | kModAlt);
  EXPECT_EQ(knob->getValue(), 0.0f) << "the pointer jumped across the gap: stay at the minimum";
  const CPos top = pointAt(100);
  f.frame->onMouseMoved(CPos(10 + top.x, 20 + top.y), kButtonLeft | kModAlt);
  EXPECT_NEAR(knob->getValue(), 125.0f / 270.0f, 0.01f);
}

TEST_F(KnobDrag, ControlClickResetsWithoutStartingADrag) {
  knob->setValue(0.9f);
  EXPECT_EQ(f.frame->onMouseDown(start, kButtonLeft | kModControl), kMouseHandledNoTracking);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(f.frame->getMouseDownView(), nullptr);
  EXPECT_EQ(f.count("changed 5"), 1u);
  EXPECT_TRUE(f.changesBracketed());
  EXPECT_EQ(f.count("host begin 5"), f.count("host end 5"));
}

TEST(KnobWheel, NotchesStepByTheWheelStepAndStayInRange) {
  FrameFixture f;
  CKnob* k = makeKnob(&f.listener);
  f.frame->addView(k);
  EXPECT_TRUE(k->onWheel(CPos(), 1.0f, 0));
  EXPECT_NEAR(k->getValue(), 0.1f, 1e-6f);
  k->onWheel(CPos(), 1.0f, kModShift);
  EXPECT_NEAR(k->getValue(), 0.11f, 1e-6f);
  k->onWheel(CPos(), -3.0f, 0);
  EXPECT_EQ(k->getValue(), 0.0f);
  k->onWheel(CPos(), 25.0f, 0);
  EXPECT_EQ(k->getValue(), 1.0f);
  EXPECT_TRUE(f.changesBracketed());
  k->setMouseEnabled(false);
  EXPECT_FALSE(k->onWheel(CPos(), -1.0f, 0));
  EXPECT_EQ(k->getValue(), 1.0f);
}

TEST(KnobKeys, ArrowsStepAndShiftStepsFinely) {
  CKnob* k = makeKnob();
  VstKeyCode up{0, 12, 0}, right{0, 13, 0}, down{0, 14, 0}, left{0, 11, 1}, other{'a', 0, 0};
  EXPECT_EQ(k->onKeyDown(up), 1);
  EXPECT_EQ(k->onKeyDown(right), 1);
  EXPECT_NEAR(k->getValue(), 0.2f, 1e-6f);
  EXPECT_EQ(k->onKeyDown(down), 1);
  EXPECT_EQ(k->onKeyDown(left), 1);
  EXPECT_NEAR(k->getValue(), 0.09f, 1e-6f);
  EXPECT_EQ(k->onKeyDown(other), -1);
  EXPECT_NEAR(k->getValue(), 0.09f, 1e-6f);
  EXPECT_TRUE(k->wantsFocus());
  k->release();
}

TEST(AnimKnob, StripFramesFollowTheValue) {
  // A 261-frame strip of 101-pixel frames, as the editor's knobs use.
  auto* strip = new CBitmap(nullptr, 101, 261 * 101);
  CAnimKnob knob(CArea(0, 0, 101, 101), nullptr, 0, 0, 101, strip);
  strip->release();
  EXPECT_EQ(knob.getFrameCount(), 261);
  EXPECT_EQ(knob.getInset(), 0);
  const std::pair<float, int32_t> cases[] = {{0.0f, 0},  {0.5f, 130},   {1.0f, 260},
                                             {-0.2f, 0}, {0.999f, 259}, {2.0f, 260}};
  for (const auto& [value, frame] : cases) {
    knob.setValue(value);
    EXPECT_EQ(knob.stripOffsetForValue(), frame * 101) << value;
  }
  knob.setValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(knob.stripOffsetForValue(), 0);
  knob.setInverseBitmap(true);
  knob.setValue(0.0f);
  EXPECT_EQ(knob.stripOffsetForValue(), 260 * 101);
  knob.setFrameHeight(0);  // must not loop for ever
  EXPECT_EQ(knob.stripOffsetForValue(), 0);
}

TEST(AnimKnob, RepaintsOnlyWhenTheHandleMovesAPixelOrWhenMarked) {
  auto* strip = new CBitmap(nullptr, 60, 60 * 31);
  CAnimKnob knob(CArea(0, 0, 60, 60), nullptr, 0, 31, 60, strip);
  strip->release();
  EXPECT_TRUE(knob.isTypeOf("CAnimKnob") && knob.isTypeOf("CKnob") && knob.isTypeOf("CControl"));
  CDrawContext context(nullptr, nullptr, nullptr);
  knob.setValue(0.5f);
  knob.draw(&context);
  EXPECT_FALSE(knob.isDirty());
  knob.setValue(0.5005f);
  EXPECT_FALSE(knob.isDirty()) << "too small to move the handle by a pixel";
  knob.setDirty(true);
  EXPECT_TRUE(knob.isDirty());
  knob.draw(&context);
  knob.setValue(0.6f);
  EXPECT_TRUE(knob.isDirty());
  CView* copy = knob.clone();
  EXPECT_EQ(static_cast<CAnimKnob*>(copy)->getFrameCount(), 31);
  copy->release();
}

TEST(AnimKnob, MultiBitmapInterfaceFitsTheFrameHeightToTheView) {
  auto* strip = new CBitmap(nullptr, 40, 400);
  CAnimKnob knob(CArea(0, 0, 40, 50), nullptr, 0, 1, 40, strip);
  strip->release();
  EXPECT_EQ(knob.getFrameCount(), 10);
  IMultiBitmapControl& multi = knob;
  multi.fitFrameHeightToView();
  EXPECT_EQ(multi.getFrameHeight(), 50);
  EXPECT_EQ(knob.getFrameCount(), 8);
}
