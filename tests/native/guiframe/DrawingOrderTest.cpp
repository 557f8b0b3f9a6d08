// What the container hands each child while drawing: offsets, clip, order and skipping,
// observed through a context without graphics (the state still moves as on screen).
#include <gtest/gtest.h>

#include <vector>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/COffscreenContext.h"

using namespace VSTGUI;

namespace {

struct Seen {
  const CView* view;
  CDrawContext* context;
  CPos offset;
  CArea clip;
};

struct RecordingView : CView {
  RecordingView(const CArea& a, std::vector<Seen>* out) : CView(a), seen(out) {}
  void draw(CDrawContext* context) override {
    CArea clip;
    context->getClipRect(clip);
    seen->push_back(Seen{this, context, context->getOffset(), clip});
    setDirty(false);
  }
  std::vector<Seen>* seen;
};

struct DrawingTest : ::testing::Test {
  CFrame* frame = new CFrame(CArea(0, 0, 200, 200), nullptr, nullptr);
  std::vector<Seen> seen;
  ~DrawingTest() override { delete frame; }
};

TEST_F(DrawingTest, NestedChildDrawsInItsParentsCoordinatesClippedToItself) {
  auto* box = new CViewContainer(CArea(50, 50, 150, 150), frame);
  frame->addView(box);
  auto* first = new RecordingView(CArea(10, 10, 30, 30), &seen);
  auto* second = new RecordingView(CArea(20, 20, 200, 40), &seen);  // reaches past the box
  box->addView(first);
  box->addView(second);
  auto* context = new CDrawContext(frame, nullptr, nullptr);
  frame->draw(context);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].view, first);  // list order is drawing order
  EXPECT_EQ(seen[0].offset, CPos(50, 50));
  EXPECT_EQ(seen[0].clip, CArea(10, 10, 30, 30));
  EXPECT_EQ(seen[1].clip, CArea(20, 20, 100, 40));  // clipped by the box's own size
  // Everything is restored afterwards.
  CArea clip;
  EXPECT_EQ(context->getOffset(), CPos());
  EXPECT_EQ(context->getClipRect(clip), CArea(0, 0, 200, 200));
  EXPECT_FALSE(frame->isDirty());
  context->release();
}

TEST_F(DrawingTest, UpdateAreaSkipsChildrenOutsideIt) {
  auto* left = new RecordingView(CArea(0, 0, 50, 50), &seen);
  auto* right = new RecordingView(CArea(100, 0, 150, 50), &seen);
  frame->addView(left);
  frame->addView(right);
  auto* context = new CDrawContext(frame, nullptr, nullptr);
  frame->drawArea(context, CArea(110, 10, 120, 20));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].view, right);
  EXPECT_EQ(seen[0].clip, CArea(110, 10, 120, 20));
  seen.clear();
  right->setVisible(false);
  frame->drawArea(context, CArea(0, 0, 200, 200));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].view, left);
  context->release();
}

TEST_F(DrawingTest, OffscreenContainerDrawsChildrenIntoItsOwnBuffer) {
  auto* box = new CViewContainer(CArea(50, 50, 150, 150), frame);
  box->setUseOffscreen(true);
  frame->addView(box);
  ASSERT_NE(box->getOffscreenContext(), nullptr);  // made when attached
  auto* child = new RecordingView(CArea(10, 10, 30, 30), &seen);
  box->addView(child);
  auto* context = new CDrawContext(frame, nullptr, nullptr);
  frame->draw(context);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].context, box->getOffscreenContext());
  EXPECT_EQ(seen[0].offset, CPos());
  EXPECT_EQ(seen[0].clip, CArea(10, 10, 30, 30));
  // A new size makes a new buffer of that size.
  box->setBounds(CArea(50, 50, 170, 160));
  ASSERT_NE(box->getOffscreenContext(), nullptr);
  EXPECT_EQ(box->getOffscreenContext()->getWidth(), 120);
  box->setUseOffscreen(false);
  EXPECT_EQ(box->getOffscreenContext(), nullptr);
  context->release();
}

TEST(TextPlacement, CentredAndAlignedPositions) {
  const CArea area(0, 0, 100, 20);
  EXPECT_EQ(CDrawContext::textLeft(area, 21, kAlignCenter), 39);  // 39.5 truncated
  EXPECT_EQ(CDrawContext::textLeft(area, 21, kAlignRight), 79);
  EXPECT_EQ(CDrawContext::textLeft(CArea(5, 0, 50, 20), 21, kAlignLeft), 5);
  // bottom - 1 + 12/2 - 20/2
  EXPECT_EQ(CDrawContext::textBaseline(area, 12), 15);
  EXPECT_EQ(CDrawContext::textBaseline(CArea(0, 0, 10, 13), 9), 10);  // 12 + 4 - 6
}

TEST(DrawContextState, FontSharedOrCopiedAndClipKeepsDeviceCoordinates) {
  auto* c = new CDrawContext(nullptr, nullptr, nullptr);
  EXPECT_EQ(c->getFont(), fontDefault12);
  CFontDesc* f = new CFontDesc("Arial", 12, kFontItalic);
  c->setFont(f, 12, kFontItalic);
  EXPECT_EQ(c->getFont(), f);
  c->setFont(f, 0, kFontBold);
  ASSERT_NE(c->getFont(), f);
  EXPECT_EQ(c->getFont()->getStyle(), kFontBold);
  EXPECT_EQ(c->getFont()->getSize(), 12);
  c->setFont(c->getFont(), 0, -1);  // the same font again must survive
  EXPECT_EQ(c->getFont()->getNbReference(), 1);
  c->setOffset(CPos(10, 20));
  c->setClipRect(CArea(0, 0, 5, 5));
  c->setOffset(CPos());
  CArea clip;
  EXPECT_EQ(c->getClipRect(clip), CArea(10, 20, 15, 25));
  c->release();
  f->release();
}

}  // namespace
