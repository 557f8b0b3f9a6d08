// The view tree's value types, reference counting and base view behaviour.
#include <gtest/gtest.h>

#include "gui/frame/CArea.h"
#include "gui/frame/CView.h"
#include "gui/frame/CViewContainer.h"

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
