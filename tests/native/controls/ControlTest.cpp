// The control base's value and dirty rules, the control-click reset, the edit brackets that
// reach the editor through the frame, and the on/off button built on them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/controls/COnOffButton.h"
#include "gui/frame/CBitmap.h"
#include "tests/support/ControlTestSupport.h"

using namespace VSTGUI;
using controls_test::FrameFixture;

namespace {

class PlainControl : public CControl {
 public:
  using CControl::CControl;
  CView* clone() const override { return new PlainControl(*this); }
};

}  // namespace

TEST(ControlValue, StoresWithoutClampingUntilClampValue) {
  PlainControl c(CArea(0, 0, 10, 10));
  c.setValue(2.0f);
  EXPECT_EQ(c.getValue(), 2.0f);
  c.clampValue();
  EXPECT_EQ(c.getValue(), 1.0f);
  c.setValue(-0.5f);
  c.clampValue();
  EXPECT_EQ(c.getValue(), 0.0f);
}

TEST(ControlDirty, FollowsTheDrawnValue) {
  PlainControl c(CArea(0, 0, 10, 10));
  EXPECT_TRUE(c.isDirty()) << "a new control has never been drawn";
  c.setDirty(false);
  EXPECT_FALSE(c.isDirty());
  EXPECT_EQ(c.getDrawnValue(), c.getValue());
  c.setValue(0.25f);
  EXPECT_TRUE(c.isDirty());
  c.setDirty(false);
  c.setValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_TRUE(c.isDirty()) << "a value that is not a number always redraws";
  c.setDirty(false);
  EXPECT_TRUE(c.isDirty()) << "not a number never equals the drawn value";
}

TEST(ControlDirty, ANewControlIsDueForDrawingAndHoldsItsBackground) {
  auto* bitmap = new CBitmap(nullptr, 4, 4);
  {
    PlainControl c(CArea(0, 0, 10, 10), nullptr, 0, bitmap);
    EXPECT_EQ(c.getDrawnValue(), 1.0f);
    EXPECT_EQ(c.getValue(), 0.0f);
    EXPECT_TRUE(c.isDirty());
    EXPECT_EQ(c.getBackground(), bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);
    EXPECT_TRUE(c.isMouseEnabled());
    EXPECT_FALSE(c.getTransparency());
    EXPECT_GE(c.getDoubleClickInterval(), 250);
  }
  EXPECT_EQ(bitmap->getNbReference(), 1);
  bitmap->release();
}

TEST(ControlDirty, MarkingDirtyMovesTheDrawnValueAwayFromTheValue) {
  PlainControl c(CArea(0, 0, 10, 10));
  c.setValue(0.3f);
  c.setDirty(true);
  EXPECT_EQ(c.getDrawnValue(), -1.0f);
  c.setValue(-1.0f);
  c.setDirty(true);
  EXPECT_EQ(c.getDrawnValue(), 0.0f);
  EXPECT_TRUE(c.isDirty());
}

TEST(ControlClone, CopiesValuesButNotTheBackgroundOffset) {
  controls_test::Log log;
  controls_test::RecordingListener listener(log);
  PlainControl c(CArea(5, 6, 15, 16), &listener, 7);
  c.setValue(0.8f);
  c.setMin(-1.0f);
  c.setWheelStep(0.05f);
  c.useBoundsAsBackgroundOffset();
  EXPECT_EQ(c.getBackgroundOffset(), CPos(5, 6));
  CView* copy = c.clone();
  auto* control = static_cast<CControl*>(copy);
  EXPECT_EQ(control->getTag(), 7);
  EXPECT_EQ(control->getListener(), &listener);
  EXPECT_EQ(control->getValue(), 0.8f);
  EXPECT_EQ(control->getMin(), -1.0f);
  EXPECT_EQ(control->getWheelStep(), 0.05f);
  EXPECT_EQ(control->getBackgroundOffset(), CPos(0, 0));
  EXPECT_TRUE(control->isTypeOf("CControl") && control->isTypeOf("CView") && !control->isTypeOf("CKnob"));
  copy->release();
}

TEST(ControlEdit, BracketsReachTheEditorInsideTheListenerCalls) {
  FrameFixture f;
  auto* c = new PlainControl(CArea(0, 0, 10, 10), &f.listener, 4);
  f.frame->addView(c);
  c->beginEdit();
  EXPECT_EQ(f.frame->getFocusView(), c);
  c->endEdit();
  EXPECT_EQ(f.log, (controls_test::Log{"listener begin", "host begin 4", "host end 4", "listener end"}));
}

TEST(ControlEdit, WithoutAFrameOnlyTheListenerHears) {
  controls_test::Log log;
  controls_test::RecordingListener listener(log);
  PlainControl c(CArea(0, 0, 10, 10), &listener, 1);
  c.beginEdit();
  c.endEdit();
  EXPECT_EQ(log, (controls_test::Log{"listener begin", "listener end"}));
}

TEST(ControlReset, OnlyExactlyLeftAndControlRestoresTheDefault) {
  FrameFixture f;
  auto* c = new PlainControl(CArea(0, 0, 10, 10), &f.listener, 2);
  f.frame->addView(c);
  c->setValue(0.9f);
  c->setDirty(false);
  for (CButtonState b : {kButtonLeft | kModControl | kModShift, kButtonLeft | kModControl | kDoubleClick,
                         CButtonState(kButtonRight | kModControl), CButtonState(kButtonLeft)}) {
    EXPECT_FALSE(c->resetOnControlClick(b)) << b;
    EXPECT_EQ(c->getValue(), 0.9f);
  }
  EXPECT_TRUE(f.log.empty());
  EXPECT_TRUE(c->resetOnControlClick(kButtonLeft | kModControl));
  EXPECT_EQ(c->getValue(), 0.5f);
  EXPECT_EQ(f.count("changed 2"), 1u);
  EXPECT_TRUE(f.changesBracketed());
  EXPECT_EQ(f.count("host begin 2"), 1u);
  EXPECT_EQ(f.count("host end 2"), 1u);
}

TEST(ControlModifierClick, TheListenerMayTakeAModifiedPressBeforeTheControl) {
  FrameFixture f;
  auto* button = new COnOffButton(CArea(10, 10, 50, 50), &f.listener, 3, nullptr);
  f.frame->addView(button);
  f.listener.takeButtons = kButtonRight;
  EXPECT_EQ(f.frame->onMouseDown(CPos(20, 20), kButtonRight), kMouseHandled);
  EXPECT_EQ(f.log, (controls_test::Log{"modifierClick"}));
  EXPECT_EQ(button->getValue(), 0.0f);
  // A plain left press is not offered.
  f.log.clear();
  f.frame->onMouseDown(CPos(20, 20), kButtonLeft);
  EXPECT_EQ(f.count("modifierClick"), 0u);
  EXPECT_EQ(button->getValue(), 1.0f);
}

TEST(OnOffButton, TwoClicksReturnWithTwoBracketedListenerCalls) {
  FrameFixture f;
  auto* button = new COnOffButton(CArea(10, 10, 50, 50), &f.listener, 9, nullptr, kPostListenerUpdate);
  f.frame->addView(button);
  EXPECT_EQ(f.frame->onMouseDown(CPos(20, 20), kButtonLeft), kMouseHandledNoTracking);
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(f.frame->getMouseDownView(), nullptr) << "no tracking after the toggle";
  f.frame->onMouseDown(CPos(20, 20), kButtonLeft | kDoubleClick);
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(f.count("changed 9"), 2u);
  EXPECT_TRUE(f.changesBracketed());
}

TEST(OnOffButton, StylesOrderTheListenerAndTheEditorIdle) {
  for (int32_t style : {kPreListenerUpdate, kPostListenerUpdate}) {
    FrameFixture f;
    auto* button = new COnOffButton(CArea(0, 0, 10, 10), &f.listener, 1, nullptr, style);
    f.frame->addView(button);
    button->onMouseDown(CPos(1, 1), kButtonLeft);
    const controls_test::Log edit{"listener begin", "host begin 1", "changed 1", "host end 1",
                                  "listener end"};
    controls_test::Log expected;
    if (style == kPreListenerUpdate) expected.push_back("idle");
    expected.insert(expected.end(), edit.begin(), edit.end());
    if (style == kPostListenerUpdate) expected.push_back("idle");
    EXPECT_EQ(f.log, expected) << "style " << style;
  }
}

TEST(OnOffButton, TogglesByTheTruncatedValueAndIgnoresOtherButtons) {
  controls_test::Log log;
  controls_test::RecordingListener listener(log);
  COnOffButton button(CArea(0, 0, 10, 10), &listener, 1, nullptr);
  EXPECT_EQ(button.onMouseDown(CPos(1, 1), kButtonRight), kMouseIgnored);
  EXPECT_TRUE(log.empty());
  button.setValue(0.7f);  // truncates to 0: off, so it turns on
  button.onMouseDown(CPos(1, 1), kButtonLeft);
  EXPECT_EQ(button.getValue(), 1.0f);
  button.setValue(1.5f);
  button.onMouseDown(CPos(1, 1), kButtonLeft);
  EXPECT_EQ(button.getValue(), 0.0f);
  button.setValue(std::numeric_limits<float>::quiet_NaN());  // draws as on, so it turns off
  button.onMouseDown(CPos(1, 1), kButtonLeft);
  EXPECT_EQ(button.getValue(), 0.0f);
  CView* copy = button.clone();
  EXPECT_TRUE(copy->isTypeOf("COnOffButton") && copy->isTypeOf("CControl"));
  copy->release();
}
