// The container's child list, hit search, event routing and autosizing, driven through a
// headless frame (no window): what reaches which child, in which coordinates.
#include <gtest/gtest.h>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/CViewContainer.h"
#include "tests/support/SpyView.h"

using namespace VSTGUI;
using guiframe_test::SpyView;

namespace {

struct ContainerTest : ::testing::Test {
  CFrame* frame = new CFrame(CArea(0, 0, 200, 200), nullptr, nullptr);
  ~ContainerTest() override { delete frame; }

  template <class T>
  T* add(CViewContainer* into, T* view) {
    EXPECT_TRUE(into->addView(view));
    return view;
  }
};

TEST_F(ContainerTest, LaterSiblingWinsSharedEdge) {
  auto* left = add(frame, new SpyView(CArea(0, 0, 50, 50)));
  auto* right = add(frame, new SpyView(CArea(50, 0, 100, 50)));
  EXPECT_EQ(frame->getViewAt(CPos(50, 10)), right);
  EXPECT_EQ(frame->getViewAt(CPos(49, 10)), left);
  EXPECT_EQ(frame->onMouseDown(CPos(50, 10), kButtonLeft), kMouseHandled);
  EXPECT_EQ(right->joined(), "down");
  EXPECT_TRUE(left->log.empty());
}

TEST_F(ContainerTest, DeepSearchOverEmptySpotOfChildContainerYieldsNull) {
  auto* inner = add(frame, new CViewContainer(CArea(100, 100, 180, 180), frame));
  auto* leaf = add(inner, new SpyView(CArea(0, 0, 10, 10)));
  EXPECT_EQ(frame->getViewAt(CPos(150, 150), true), nullptr);
  EXPECT_EQ(frame->getViewAt(CPos(150, 150), false), inner);
  EXPECT_EQ(frame->getViewAt(CPos(105, 105), true), leaf);
  EXPECT_EQ(frame->getContainerAt(CPos(105, 105), true), inner);
  EXPECT_EQ(frame->getContainerAt(CPos(5, 5), true), frame);
}

TEST_F(ContainerTest, PressMoveReleaseReachPressedChildInItsCoordinates) {
  auto* inner = add(frame, new CViewContainer(CArea(100, 100, 180, 180), frame));
  auto* leaf = add(inner, new SpyView(CArea(10, 10, 30, 30)));
  EXPECT_EQ(frame->onMouseDown(CPos(115, 120), kButtonLeft), kMouseHandled);
  EXPECT_EQ(leaf->last, CPos(15, 20));
  // Moves go to the pressed child even outside it.
  EXPECT_EQ(frame->onMouseMoved(CPos(0, 0), kButtonLeft), kMouseHandled);
  EXPECT_EQ(leaf->last, CPos(-100, -100));
  // The release is handled whatever the child answers, and ends the press.
  EXPECT_EQ(frame->onMouseUp(CPos(101, 101), kButtonLeft), kMouseHandled);
  EXPECT_EQ(leaf->joined(), "down,move,up");
  EXPECT_EQ(frame->onMouseUp(CPos(101, 101), 0), kMouseIgnored);
}

TEST_F(ContainerTest, MoveRejectedByPressedChildForgetsIt) {
  auto* leaf = add(frame, new SpyView(CArea(0, 0, 30, 30)));
  frame->onMouseDown(CPos(5, 5), kButtonLeft);
  leaf->moveAnswer = kMouseIgnored;
  EXPECT_EQ(frame->getMouseDownView(), leaf);
  frame->onMouseMoved(CPos(6, 6), kButtonLeft);
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
  EXPECT_EQ(frame->onMouseUp(CPos(6, 6), 0), kMouseIgnored);
}

TEST_F(ContainerTest, HandledNoTrackingIsNotRemembered) {
  auto* leaf = add(frame, new SpyView(CArea(0, 0, 30, 30), kMouseHandledNoTracking));
  EXPECT_EQ(frame->onMouseDown(CPos(5, 5), kButtonLeft), kMouseHandledNoTracking);
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
  EXPECT_EQ(frame->onMouseUp(CPos(5, 5), 0), kMouseIgnored);
  EXPECT_EQ(leaf->joined(), "down");
}

TEST_F(ContainerTest, FallbackPressTracksTheChild) {
  auto* leaf = add(frame, new SpyView(CArea(20, 20, 40, 40), kMouseFallback));
  EXPECT_EQ(frame->onMouseDown(CPos(25, 30), kButtonLeft), kMouseFallback);
  EXPECT_EQ(leaf->joined(), "down,track");
  EXPECT_EQ(leaf->last, CPos(25, 30));
}

TEST_F(ContainerTest, InvisibleOrDisabledChildrenAreSkipped) {
  auto* below = add(frame, new SpyView(CArea(0, 0, 50, 50)));
  auto* hidden = add(frame, new SpyView(CArea(0, 0, 50, 50)));
  auto* disabled = add(frame, new SpyView(CArea(0, 0, 50, 50)));
  hidden->setVisible(false);
  disabled->setMouseEnabled(false);
  frame->onMouseDown(CPos(5, 5), kButtonLeft);
  EXPECT_EQ(below->joined(), "down");
  EXPECT_TRUE(hidden->log.empty());
  EXPECT_TRUE(disabled->log.empty());
}

int32_t offeredButtons = 0;
int32_t takeModifierClicks(CView*, CButtonState buttons) {
  offeredButtons = static_cast<int32_t>(buttons);
  return 1;
}

struct FakeControl : SpyView {
  using SpyView::SpyView;
  bool isTypeOf(const char* name) const override {
    return std::string(name) == "CControl" || SpyView::isTypeOf(name);
  }
};

TEST_F(ContainerTest, ModifierPressOnControlGoesToListenerFirst) {
  auto* control = add(frame, new FakeControl(CArea(0, 0, 50, 50)));
  CViewContainer::setModifierClickOffer(&takeModifierClicks);
  EXPECT_EQ(frame->onMouseDown(CPos(5, 5), kButtonLeft), kMouseHandled);  // plain press: the control
  EXPECT_EQ(control->joined(), "down");
  frame->onMouseUp(CPos(5, 5), 0);
  EXPECT_EQ(frame->onMouseDown(CPos(5, 5), kButtonLeft | kModShift), kMouseHandled);
  EXPECT_EQ(offeredButtons, int32_t(kButtonLeft | kModShift));
  EXPECT_EQ(control->joined(), "down,up");  // the listener took it
  CViewContainer::setModifierClickOffer(nullptr);
}

TEST_F(ContainerTest, ColumnModeSharesWidthChange) {
  auto* row = add(frame, new CViewContainer(CArea(0, 0, 90, 20), frame));
  row->setAutosizeFlags(kAutosizeColumn);
  CView* c[3];
  for (int i = 0; i < 3; ++i) c[i] = add(row, new CView(CArea(30 * i, 0, 30 * i + 30, 20)));
  row->setBounds(CArea(0, 0, 100, 20));
  EXPECT_EQ(c[0]->getBounds(), CArea(0, 0, 33, 20));
  EXPECT_EQ(c[1]->getBounds(), CArea(33, 0, 66, 20));
  EXPECT_EQ(c[2]->getBounds(), CArea(66, 0, 99, 20));
  EXPECT_EQ(c[2]->getHitArea(), CArea(66, 0, 99, 20));
}

TEST_F(ContainerTest, RightFlagMovesAndWithLeftStretches) {
  auto* box = add(frame, new CViewContainer(CArea(0, 0, 100, 100), frame));
  auto* moved = add(box, new CView(CArea(10, 10, 20, 20)));
  auto* stretched = add(box, new CView(CArea(10, 30, 20, 40)));
  auto* fixed = add(box, new CView(CArea(10, 50, 20, 60)));
  moved->setAutosizeFlags(kAutosizeRight | kAutosizeBottom);
  stretched->setAutosizeFlags(kAutosizeRight | kAutosizeLeft | kAutosizeBottom | kAutosizeTop);
  box->setBounds(CArea(0, 0, 110, 105));
  EXPECT_EQ(moved->getBounds(), CArea(20, 15, 30, 25));
  EXPECT_EQ(stretched->getBounds(), CArea(10, 30, 30, 45));
  EXPECT_EQ(fixed->getBounds(), CArea(10, 50, 20, 60));
}

TEST_F(ContainerTest, InsertBeforeAbsentChildGoesInFrontOfLast) {
  auto* a = add(frame, new CView(CArea(0, 0, 1, 1)));
  auto* b = add(frame, new CView(CArea(0, 0, 1, 1)));
  auto* c = new CView(CArea(0, 0, 1, 1));
  auto* d = new CView(CArea(0, 0, 1, 1));
  ASSERT_TRUE(frame->addViewBefore(c, nullptr));
  ASSERT_TRUE(frame->addViewBefore(d, a));
  EXPECT_EQ(frame->getChild(0), d);
  EXPECT_EQ(frame->getChild(1), a);
  EXPECT_EQ(frame->getChild(2), c);
  EXPECT_EQ(frame->getChild(3), b);
  EXPECT_EQ(frame->getChild(4), nullptr);
  EXPECT_FALSE(frame->addView(c));  // already attached
  EXPECT_FALSE(frame->addView(nullptr));
}

TEST_F(ContainerTest, RemoveViewDropsBothReferences) {
  int destroyed = 0;
  struct Counted : CView {
    Counted(int* d) : CView(CArea(0, 0, 5, 5)), counter(d) {}
    ~Counted() override { ++*counter; }
    int* counter;
  };
  auto* v = add(frame, new Counted(&destroyed));
  EXPECT_EQ(v->getNbReference(), 2);
  EXPECT_TRUE(frame->removeView(v, true));
  EXPECT_EQ(destroyed, 1);
  CView stranger(CArea(0, 0, 1, 1));
  EXPECT_FALSE(frame->removeView(&stranger, false));
}

TEST_F(ContainerTest, WheelReachesChildUnderPointInLocalCoordinates) {
  auto* inner = add(frame, new CViewContainer(CArea(100, 100, 180, 180), frame));
  auto* leaf = add(inner, new SpyView(CArea(0, 0, 40, 40)));
  EXPECT_TRUE(frame->onWheel(CPos(110, 120), -2.0f, 0));
  EXPECT_EQ(leaf->last, CPos(10, 20));
  EXPECT_EQ(leaf->wheel, -2.0f);
  EXPECT_FALSE(frame->onWheel(CPos(5, 5), 1.0f, 0));
}

TEST_F(ContainerTest, VisibleBoundsAreClippedByEveryAncestor) {
  auto* inner = add(frame, new CViewContainer(CArea(150, 150, 250, 250), frame));
  auto* leaf = add(inner, new CView(CArea(20, 20, 80, 80)));
  CArea visible;
  leaf->getVisibleBounds(visible);
  EXPECT_EQ(visible, CArea(20, 20, 50, 50));  // the frame ends at 200
}

TEST_F(ContainerTest, CloneCopiesChildrenInOrder) {
  auto* box = new CViewContainer(CArea(0, 0, 50, 50), frame);
  box->setBackgroundColor(kRedCColor);
  box->addView(new CView(CArea(1, 1, 2, 2)));
  box->addView(new CView(CArea(3, 3, 4, 4)));
  auto* copy = static_cast<CViewContainer*>(box->clone());
  ASSERT_EQ(copy->getChildCount(), 2);
  EXPECT_EQ(copy->getChild(1)->getBounds(), CArea(3, 3, 4, 4));
  EXPECT_EQ(copy->getBackgroundColor(), kRedCColor);
  EXPECT_NE(copy->getChild(0), box->getChild(0));
  copy->release();
  box->release();
}

}  // namespace

namespace {

TEST_F(ContainerTest, RemovingThePressedViewEndsThePress) {
  auto* leaf = add(frame, new SpyView(CArea(0, 0, 30, 30)));
  frame->onMouseDown(CPos(5, 5), kButtonLeft);
  ASSERT_EQ(frame->getMouseDownView(), leaf);
  frame->removeView(leaf, true);  // destroyed: the press must not reach it any more
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
  EXPECT_EQ(frame->onMouseMoved(CPos(6, 6), kButtonLeft), kMouseIgnored);
  EXPECT_EQ(frame->onMouseUp(CPos(6, 6), 0), kMouseIgnored);
}

TEST_F(ContainerTest, SettingTheSameBackgroundTwiceKeepsIt) {
  auto* bitmap = new CBitmap(frame, 4, 4);
  auto* v = add(frame, new CView(CArea(0, 0, 4, 4)));
  v->setBackground(bitmap);
  bitmap->release();  // the view's reference is the only one left
  v->setBackground(v->getBackground());
  ASSERT_EQ(v->getBackground(), bitmap);
  EXPECT_EQ(bitmap->getNbReference(), 1);
  EXPECT_TRUE(v->isDirty());
}

}  // namespace
