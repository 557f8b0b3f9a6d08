// The view tree's value types, reference counting and base view behaviour.
#include <gtest/gtest.h>

#include "gui/frame/CArea.h"
#include "gui/frame/CView.h"
#include "gui/frame/CViewContainer.h"
#include "tests/support/SpyView.h"

using namespace VSTGUI;

namespace {

// Counts destructions so tests can see exactly when the last reference went.
struct CountedView : CView {
  explicit CountedView(const CArea& a, int* destroyed) : CView(a), destroyedCounter(destroyed) {}
  ~CountedView() override { ++*destroyedCounter; }
  int* destroyedCounter;
};

TEST(Area, DisjointIntersectionCollapsesAtClampedCorner) {
  const CArea r = intersection(CArea(0, 0, 10, 10), CArea(20, 20, 30, 30));
  EXPECT_EQ(r, CArea(20, 20, 20, 20));
  EXPECT_TRUE(r.isEmpty());
}

TEST(BaseObject, LastReleaseDestroysOnce) {
  int destroyed = 0;
  auto* v = new CountedView(CArea(0, 0, 1, 1), &destroyed);
  v->retain();
  v->release();
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(v->getNbReference(), 1);
  v->release();
  EXPECT_EQ(destroyed, 1);
}

TEST(BaseObject, MessagesCompareByAddressNotText) {
  CViewContainer c(CArea(0, 0, 10, 10), nullptr);
  EXPECT_EQ(c.handleMessage(nullptr, kMsgCheckIfViewContainer), 1);
  const char sameText[] = "kMsgCheckIfViewContainer";
  EXPECT_EQ(c.handleMessage(nullptr, sameText), 0);
  CView v(CArea(0, 0, 1, 1));
  EXPECT_EQ(v.handleMessage(nullptr, kMsgCheckIfViewContainer), 0);
}

}  // namespace

namespace {

using guiframe_test::SpyView;

TEST(View, HitTestAndOverlapIncludeEdges) {
  CView v(CArea(10, 10, 20, 20));
  EXPECT_TRUE(v.hitTest(CPos(20, 20), 0));
  EXPECT_TRUE(v.hitTest(CPos(10, 10), 0));
  EXPECT_FALSE(v.hitTest(CPos(21, 15), 0));
  EXPECT_TRUE(v.overlaps(CArea(20, 20, 30, 30)));
  EXPECT_FALSE(v.overlaps(CArea(21, 0, 30, 30)));
}

TEST(View, HorizontalWheelReversesDistance) {
  SpyView v(CArea(0, 0, 10, 10));
  v.onWheelAxis(CPos(1, 1), kWheelHorizontal, 2.0f, 0);
  EXPECT_EQ(v.wheel, -2.0f);
  v.onWheelAxis(CPos(1, 1), kWheelVertical, 2.0f, 0);
  EXPECT_EQ(v.wheel, 2.0f);
}

TEST(View, AttachAndDetachRefuseRepeats) {
  CViewContainer parent(CArea(0, 0, 50, 50), nullptr);
  CView v(CArea(0, 0, 1, 1));
  EXPECT_FALSE(v.detach(&parent));
  EXPECT_TRUE(v.attach(&parent));
  EXPECT_FALSE(v.attach(&parent));
  EXPECT_EQ(v.getParentView(), &parent);
  EXPECT_TRUE(v.detach(&parent));
  EXPECT_EQ(v.getParentView(), nullptr);
}

TEST(View, CloneCopiesStateAndAttributesButNotParents) {
  CViewContainer parent(CArea(0, 0, 50, 50), nullptr);
  CView v(CArea(1, 2, 3, 4));
  v.setHitArea(CArea(0, 0, 9, 9));
  v.setWantsFocus(true);
  v.setAutosizeFlags(kAutosizeRight);
  const int payload[3] = {7, 8, 9};
  ASSERT_TRUE(v.setAttribute(42, sizeof(payload), payload));
  v.attach(&parent);
  v.setDirty(true);
  CView* copy = v.clone();
  EXPECT_EQ(copy->getBounds(), CArea(1, 2, 3, 4));
  EXPECT_EQ(copy->getHitArea(), CArea(0, 0, 9, 9));
  EXPECT_TRUE(copy->wantsFocus());
  EXPECT_EQ(copy->getAutosizeFlags(), uint32_t(kAutosizeRight));
  EXPECT_FALSE(copy->isAttached());
  EXPECT_FALSE(copy->isDirty());
  EXPECT_EQ(copy->getParentView(), nullptr);
  int back[3] = {};
  int32_t size = 0;
  ASSERT_TRUE(copy->getAttribute(42, sizeof(back), back, &size));
  EXPECT_EQ(size, int32_t(sizeof(payload)));
  EXPECT_EQ(back[2], 9);
  EXPECT_EQ(copy->getNbReference(), 1);
  copy->release();
  v.detach(&parent);
}

TEST(View, AttributeGrowsAndRefusesSmallBuffer) {
  CView v(CArea(0, 0, 1, 1));
  const char small[2] = {1, 2};
  const char big[6] = {1, 2, 3, 4, 5, 6};
  v.setAttribute(1, 2, small);
  v.setAttribute(1, 6, big);
  EXPECT_EQ(v.getAttributeSize(1), 6);
  char out[4];
  EXPECT_FALSE(v.getAttribute(1, sizeof(out), out));
  EXPECT_EQ(v.getAttributeSize(2), -1);
}

}  // namespace
