// Drawing into off-screen contexts with the real GDI+ and reading the pixels back.
#include <gtest/gtest.h>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/COffscreenContext.h"
#include "gui/frame/CViewContainer.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/win32/GdiPlusFlat.h"
#include "tests/windows/guiframe/TestResources.h"

using namespace VSTGUI;

namespace {

struct Argb {
  int a, r, g, b;
};

Argb pixel(COffscreenContext& c, int x, int y) {
  gp::GdipFlush(static_cast<Gdiplus::GpGraphics*>(c.getGraphics()), Gdiplus::FlushIntentionSync);
  Gdiplus::ARGB v = 0;
  gp::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(c.getBitmap()->getGdiplusBitmap()), x, y, &v);
  return Argb{int(v >> 24), int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
}

bool isTransparent(COffscreenContext& c, int x, int y) {
  return pixel(c, x, y).a == 0;
}

struct OffscreenTest : ::testing::Test {
  OffscreenTest() { GDIPlusGlobals::acquireGdiPlus(); }
  ~OffscreenTest() override { GDIPlusGlobals::releaseGdiPlus(); }
};

TEST_F(OffscreenTest, StartsTransparentWithClipOfItsSize) {
  auto* c = new COffscreenContext(nullptr, 20, 10);
  ASSERT_NE(c->getGraphics(), nullptr);
  EXPECT_TRUE(isTransparent(*c, 0, 0));
  EXPECT_TRUE(isTransparent(*c, 19, 9));
  CArea clip;
  EXPECT_EQ(c->getClipRect(clip), CArea(0, 0, 20, 10));
  c->release();
}

TEST_F(OffscreenTest, StrokedRectangleTouchesPixelsZeroToNine) {
  auto* c = new COffscreenContext(nullptr, 20, 20);
  c->setFrameColor(kRedCColor);
  c->drawRect(CArea(0, 0, 10, 10), kDrawStroked);
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(pixel(*c, i, 0).r, 255) << i;
    EXPECT_EQ(pixel(*c, 0, i).r, 255) << i;
    EXPECT_EQ(pixel(*c, i, 9).a, 255) << i;
    EXPECT_EQ(pixel(*c, 9, i).a, 255) << i;
  }
  EXPECT_TRUE(isTransparent(*c, 10, 0));
  EXPECT_TRUE(isTransparent(*c, 0, 10));
  EXPECT_TRUE(isTransparent(*c, 5, 5));
  c->release();
}

TEST_F(OffscreenTest, SwappedEdgesFillTheSameRectangleShiftedByTheOffset) {
  auto* c = new COffscreenContext(nullptr, 20, 20);
  c->setFillColor(kBlueCColor);
  c->setOffset(CPos(2, 3));
  c->drawRect(CArea(10, 10, 4, 4), kDrawFilled);  // left > right, top > bottom
  c->setOffset(CPos());
  EXPECT_EQ(pixel(*c, 6, 7).b, 255);
  EXPECT_EQ(pixel(*c, 11, 12).b, 255);
  EXPECT_TRUE(isTransparent(*c, 5, 7));
  EXPECT_TRUE(isTransparent(*c, 12, 12));
  c->release();
}

TEST_F(OffscreenTest, ClipLimitsDrawing) {
  auto* c = new COffscreenContext(nullptr, 20, 20);
  c->setFillColor(kGreenCColor);
  c->setClipRect(CArea(5, 5, 10, 10));
  c->drawRect(CArea(0, 0, 20, 20), kDrawFilled);
  EXPECT_EQ(pixel(*c, 5, 5).g, 255);
  EXPECT_EQ(pixel(*c, 9, 9).g, 255);
  EXPECT_TRUE(isTransparent(*c, 10, 10));
  EXPECT_TRUE(isTransparent(*c, 4, 5));
  c->release();
}

TEST_F(OffscreenTest, LineRunsFromPenPosition) {
  auto* c = new COffscreenContext(nullptr, 20, 20);
  c->setFrameColor(kWhiteCColor);
  c->moveTo(CPos(2, 5));
  c->lineTo(CPos(12, 5));
  EXPECT_EQ(c->getPenPosition(), CPos(12, 5));
  EXPECT_EQ(pixel(*c, 7, 5).a, 255);
  EXPECT_TRUE(isTransparent(*c, 7, 6));
  c->release();
}

TEST_F(OffscreenTest, BitmapDrawsOpaqueAndHalfTransparentAt128) {
  auto* red = new CBitmap(CResourceRef(IDR_RED_8X8));
  ASSERT_EQ(red->getWidth(), 8);
  auto* c = new COffscreenContext(nullptr, 20, 10);
  red->draw(c, CArea(0, 0, 8, 8));
  const Argb full = pixel(*c, 4, 4);
  EXPECT_EQ(full.a, 255);
  EXPECT_GE(full.r, 253);
  red->drawAlphaBlend(c, CArea(10, 0, 18, 8), CPos(), 128);
  const Argb half = pixel(*c, 14, 4);
  EXPECT_NEAR(half.a, 128, 3);
  EXPECT_GE(half.r, 250);  // unpremultiplied read: the colour stays red
  EXPECT_TRUE(isTransparent(*c, 19, 4));
  c->release();
  red->release();
}

TEST_F(OffscreenTest, HalfOpacityOverWhiteGivesPink) {
  auto* red = new CBitmap(CResourceRef(IDR_RED_8X8));
  auto* c = new COffscreenContext(nullptr, 8, 8);
  c->setFillColor(kWhiteCColor);
  c->drawRect(CArea(0, 0, 8, 8), kDrawFilled);
  red->drawAlphaBlend(c, CArea(0, 0, 8, 8), CPos(), 128);
  const Argb p = pixel(*c, 3, 3);
  EXPECT_GE(p.r, 250);
  EXPECT_NEAR(p.g, 127, 4);
  EXPECT_NEAR(p.b, 127, 4);
  c->release();
  red->release();
}

TEST_F(OffscreenTest, CopyFromReadsAtTheSourceOffset) {
  auto* source = new COffscreenContext(nullptr, 20, 20);
  source->setFillColor(kYellowCColor);
  source->drawRect(CArea(10, 10, 12, 12), kDrawFilled);
  auto* target = new COffscreenContext(nullptr, 10, 10);
  source->copyFrom(target, CArea(0, 0, 4, 4), CPos(10, 10));
  EXPECT_EQ(pixel(*target, 0, 0).r, 255);
  EXPECT_EQ(pixel(*target, 1, 1).g, 255);
  EXPECT_TRUE(isTransparent(*target, 2, 2));
  target->release();
  source->release();
}

TEST_F(OffscreenTest, TextIsMeasuredAndDrawnInsideItsArea) {
  auto* c = new COffscreenContext(nullptr, 100, 40);
  const int32_t w = c->getStringWidth("Hello");
  EXPECT_GT(w, 10);
  EXPECT_LT(w, 60);
  EXPECT_EQ(c->getStringWidth(nullptr), -1);
  c->setFontColor(kWhiteCColor);
  const CArea area(20, 10, 80, 30);
  c->drawString("Hello", area, kAlignCenter);
  int inside = 0, outside = 0, leftmost = 100;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      if (isTransparent(*c, x, y)) continue;
      if (area.containsInclusive(CPos(x, y)) && x < area.right && y < area.bottom) {
        ++inside;
        leftmost = std::min(leftmost, x);
      } else {
        ++outside;
      }
    }
  EXPECT_GT(inside, 10);
  EXPECT_EQ(outside, 0);
  // Centred: the text starts near the computed left edge (GDI+ adds a little padding).
  EXPECT_NEAR(leftmost, CDrawContext::textLeft(area, w, kAlignCenter), 4);
  c->release();
}

TEST_F(OffscreenTest, FontSettersShareOrMakeDescriptors) {
  auto* c = new COffscreenContext(nullptr, 10, 10);
  CFontDesc* f = new CFontDesc("Arial", 12, kFontBold);
  c->setFont(f, 0, -1);
  EXPECT_EQ(c->getFont(), f);
  EXPECT_EQ(f->getNbReference(), 2);
  c->setFont(f, 14, -1);
  ASSERT_NE(c->getFont(), f);
  EXPECT_EQ(c->getFont()->getSize(), 14);
  EXPECT_EQ(c->getFont()->getStyle(), kFontBold);
  EXPECT_STREQ(c->getFont()->getName(), "Arial");
  EXPECT_EQ(f->getNbReference(), 1);
  c->release();
  f->release();
}

TEST_F(OffscreenTest, ContextWithoutGraphicsDoesNothing) {
  auto* c = new CDrawContext(nullptr, nullptr, nullptr);
  EXPECT_EQ(c->getGraphics(), nullptr);
  c->drawRect(CArea(0, 0, 5, 5), kDrawFilledAndStroked);
  c->drawString("x", CArea(0, 0, 5, 5));
  c->lineTo(CPos(3, 3));
  EXPECT_EQ(c->getStringWidth("x"), -1);
  CArea clip;
  EXPECT_EQ(c->getClipRect(clip), CArea(0, 0, 1000, 1000));
  c->release();
}

TEST_F(OffscreenTest, ContainerPaintsOpaqueBackgroundUnlessTransparent) {
  for (const bool transparent : {false, true}) {
    for (const uint8_t alpha : {uint8_t(255), uint8_t(100)}) {
      auto* c = new COffscreenContext(nullptr, 20, 20);
      auto* box = new CViewContainer(CArea(5, 5, 15, 15), nullptr);
      box->setBackgroundColor(CRgbaColor(0, 0, 255, alpha));
      box->setTransparency(transparent);
      box->draw(c);
      const bool painted = !isTransparent(*c, 8, 8);
      EXPECT_EQ(painted, !(transparent && alpha == 255)) << transparent << " " << int(alpha);
      EXPECT_TRUE(isTransparent(*c, 2, 2));
      box->release();
      c->release();
    }
  }
}

}  // namespace
