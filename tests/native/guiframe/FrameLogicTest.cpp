// The frame's own routing without a window: keyboard focus traversal, the modal view and
// the mouse-over view.
#include <gtest/gtest.h>

#include "gui/frame/CFrame.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "tests/support/SpyView.h"

using namespace VSTGUI;
using guiframe_test::SpyView;

namespace {

VstKeyCode tabKey(bool shift = false) {
  return VstKeyCode{0, kVirtualKeyTab, shift ? kKeyModifierShift : uint8_t(0)};
}

struct FrameTest : ::testing::Test {
  CFrame* frame = new CFrame(CArea(0, 0, 300, 200), nullptr, nullptr);
  ~FrameTest() override { delete frame; }

  SpyView* focusable(CViewContainer* into, const CArea& a) {
    auto* v = new SpyView(a);
    v->setWantsFocus(true);
    into->addView(v);
    return v;
  }
};

TEST_F(FrameTest, TabWalksFocusThroughNestedContainersAndBack) {
  auto* a = focusable(frame, CArea(0, 0, 10, 10));
  auto* box = new CViewContainer(CArea(50, 0, 150, 100), frame);
  frame->addView(box);
  auto* b = focusable(box, CArea(0, 0, 10, 10));
  auto* c = focusable(box, CArea(20, 0, 30, 10));
  frame->addView(new CView(CArea(200, 0, 210, 10)));  // does not want focus
  auto* d = focusable(frame, CArea(220, 0, 230, 10));

  VstKeyCode tab = tabKey();
  const CView* expected[] = {a, b, c, d};
  for (const CView* v : expected) {
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), v);
  }
  // Past the last focusable view the traversal fails and focus is dropped.
  EXPECT_EQ(frame->onKeyDown(tab), -1);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(d->log.back(), "focusLost");

  VstKeyCode backTab = tabKey(true);
  const CView* reversed[] = {d, c, b, a};
  for (const CView* v : reversed) {
    EXPECT_EQ(frame->onKeyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), v);
  }
  VstKeyCode other{0, 5, 0};
  EXPECT_EQ(frame->onKeyDown(other), -1);
}

TEST_F(FrameTest, PressDropsFocusAndRemovalForgetsIt) {
  auto* a = focusable(frame, CArea(0, 0, 10, 10));
  frame->setFocusView(a);
  EXPECT_TRUE(a->isDirty());
  frame->onMouseDown(CPos(100, 100), kButtonLeft);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  frame->setFocusView(a);
  frame->removeView(a, true);
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(FrameTest, ModalViewTakesPressesAndKeysAndRefusesAttachedViews) {
  auto* behind = frame->addView(new SpyView(CArea(0, 0, 300, 200))) ? frame->getChild(0) : nullptr;
  auto* modal = new SpyView(CArea(100, 50, 200, 150));
  EXPECT_FALSE(frame->setModalView(behind));  // attached already
  ASSERT_TRUE(frame->setModalView(modal));
  EXPECT_EQ(frame->onMouseDown(CPos(10, 10), kButtonLeft), kMouseIgnored);
  EXPECT_TRUE(static_cast<SpyView*>(behind)->log.empty());
  EXPECT_EQ(frame->onMouseDown(CPos(120, 60), kButtonLeft), kMouseHandled);
  EXPECT_EQ(modal->joined(), "down");
  EXPECT_EQ(modal->last, CPos(120, 60));
  frame->onMouseUp(CPos(120, 60), 0);
  EXPECT_EQ(frame->getViewUnderMouse(), modal);
  EXPECT_TRUE(frame->onWheel(CPos(5, 5), 1.0f, 0));  // the wheel too goes to the modal view
  EXPECT_EQ(modal->wheel, 1.0f);
  // Tab focuses a plain modal view once, then fails.
  VstKeyCode tab = tabKey();
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), modal);
  EXPECT_EQ(frame->onKeyDown(tab), -1);
  // Clearing it removes it from the tree without destroying it.
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_FALSE(modal->isAttached());
  modal->release();
}

TEST_F(FrameTest, SecondModalViewIsRefused) {
  auto* first = new SpyView(CArea(0, 0, 10, 10));
  auto* second = new SpyView(CArea(0, 0, 10, 10));
  ASSERT_TRUE(frame->setModalView(first));
  EXPECT_FALSE(frame->setModalView(second));
  EXPECT_EQ(frame->getModalView(), first);
  frame->setModalView(nullptr);
  first->release();
  second->release();
}

TEST_F(FrameTest, MovesEnterAndLeaveTheMouseOverViewWithoutButtons) {
  auto* box = new CViewContainer(CArea(100, 100, 200, 200), frame);
  frame->addView(box);
  auto* leaf = new SpyView(CArea(10, 10, 50, 50));
  box->addView(leaf);
  EXPECT_EQ(frame->onMouseMoved(CPos(120, 130), kButtonRight), kMouseHandled);
  EXPECT_EQ(leaf->joined(), "enter");
  EXPECT_EQ(leaf->last, CPos(20, 30));
  EXPECT_EQ(frame->getMouseOverView(), leaf);
  // A move over it that no pressed view claims arrives with button word 0.
  frame->onMouseMoved(CPos(121, 131), kButtonRight);
  EXPECT_EQ(leaf->joined(), "enter,move");
  EXPECT_EQ(leaf->lastButtons, 0u);
  frame->onMouseMoved(CPos(10, 10), 0);
  EXPECT_EQ(leaf->joined(), "enter,move,exit");
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  frame->onMouseMoved(CPos(120, 130), 0);
  EXPECT_EQ(frame->onMouseExited(CPos(0, 0), 0), kMouseHandled);
  EXPECT_EQ(leaf->log.back(), "exit");
}

TEST_F(FrameTest, WheelIsRefusedWhileAPressIsTracked) {
  auto* leaf = new SpyView(CArea(0, 0, 50, 50));
  frame->addView(leaf);
  frame->onMouseDown(CPos(5, 5), kButtonLeft);
  EXPECT_FALSE(frame->onWheel(CPos(5, 5), 1.0f, 0));
  frame->onMouseUp(CPos(5, 5), 0);
  EXPECT_TRUE(frame->onWheel(CPos(5, 5), 1.0f, 0));
}

TEST_F(FrameTest, DirtyChildIsFoundAndMarkDirtyTouchesEdges) {
  auto* a = new CView(CArea(0, 0, 10, 10));
  auto* b = new CView(CArea(20, 0, 30, 10));
  frame->addView(a);
  frame->addView(b);
  frame->markDirtyIn(CArea(10, 0, 15, 5));
  EXPECT_TRUE(a->isDirty());
  EXPECT_FALSE(b->isDirty());
  EXPECT_TRUE(frame->isDirty());
  frame->setDirty(false);  // as after the first paint
  frame->idle();           // turns dirty views into invalidations: the view's flag is cleared
  EXPECT_FALSE(a->isDirty());
}

TEST(GdiPlusStartup, FramesAndBitmapsShareOneStartup) {
  const int32_t startups = GDIPlusGlobals::getStartupCount();
  const int32_t shutdowns = GDIPlusGlobals::getShutdownCount();
  auto* f1 = new CFrame(CArea(0, 0, 10, 10), nullptr, nullptr);
  auto* f2 = new CFrame(CArea(0, 0, 10, 10), nullptr, nullptr);
  delete f1;
  EXPECT_TRUE(GDIPlusGlobals::isStarted());
  delete f2;
  EXPECT_FALSE(GDIPlusGlobals::isStarted());
  EXPECT_EQ(GDIPlusGlobals::getStartupCount(), startups + 1);
  EXPECT_EQ(GDIPlusGlobals::getShutdownCount(), shutdowns + 1);
}

}  // namespace
