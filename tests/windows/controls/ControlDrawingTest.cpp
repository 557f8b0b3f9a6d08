// Controls drawn into off-screen contexts with the real GDI+, pixels read back.
#include <gtest/gtest.h>

#include "gui/controls/CAnimKnob.h"
#include "gui/controls/COnOffButton.h"
#include "gui/controls/COptionMenu.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/COffscreenContext.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/win32/GdiPlusFlat.h"

using namespace VSTGUI;

namespace {

CRgbaColor pixel(COffscreenContext& c, int x, int y) {
  gp::GdipFlush(static_cast<Gdiplus::GpGraphics*>(c.getGraphics()), Gdiplus::FlushIntentionSync);
  Gdiplus::ARGB v = 0;
  gp::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(c.getBitmap()->getGdiplusBitmap()), x, y, &v);
  return CRgbaColor(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), uint8_t(v >> 24));
}

std::string describe(const CRgbaColor& c) {
  return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + "," +
         std::to_string(c.alpha);
}

bool samePixels(COffscreenContext& a, COffscreenContext& b) {
  for (int y = 0; y < a.getHeight(); ++y)
    for (int x = 0; x < a.getWidth(); ++x)
      if (pixel(a, x, y) != pixel(b, x, y)) return false;
  return true;
}

int countBright(COffscreenContext& c) {
  int n = 0;
  for (int y = 0; y < c.getHeight(); ++y)
    for (int x = 0; x < c.getWidth(); ++x) n += pixel(c, x, y).red > 128 ? 1 : 0;
  return n;
}

struct ControlDrawing : ::testing::Test {
  ControlDrawing() { GDIPlusGlobals::acquireGdiPlus(); }
  ~ControlDrawing() override { GDIPlusGlobals::releaseGdiPlus(); }
};

TEST_F(ControlDrawing, OnOffButtonShowsTheUpperHalfOffAndTheLowerHalfOn) {
  // A 121 x 210 strip: rows 0-104 off (red, last row blue), rows 105-209 on (green, first
  // row yellow), so the exact split shows.
  auto* strip = new COffscreenContext(nullptr, 121, 210);
  strip->setFillColor(kRedCColor);
  strip->drawRect(CArea(0, 0, 121, 105), kDrawFilled);
  strip->setFillColor(kBlueCColor);
  strip->drawRect(CArea(0, 104, 121, 105), kDrawFilled);
  strip->setFillColor(kGreenCColor);
  strip->drawRect(CArea(0, 105, 121, 210), kDrawFilled);
  strip->setFillColor(kYellowCColor);
  strip->drawRect(CArea(0, 105, 121, 106), kDrawFilled);
  gp::GdipFlush(static_cast<Gdiplus::GpGraphics*>(strip->getGraphics()), Gdiplus::FlushIntentionSync);

  COnOffButton button(CArea(0, 0, 121, 105), nullptr, 0, strip->getBitmap());
  auto* target = new COffscreenContext(nullptr, 121, 105);
  button.draw(target);
  EXPECT_EQ(pixel(*target, 60, 0), kRedCColor) << describe(pixel(*target, 60, 0));
  EXPECT_EQ(pixel(*target, 60, 104), kBlueCColor) << describe(pixel(*target, 60, 104));
  EXPECT_FALSE(button.isDirty());

  button.onMouseDown(CPos(5, 5), kButtonLeft);
  EXPECT_EQ(button.getValue(), 1.0f);
  button.draw(target);
  EXPECT_EQ(pixel(*target, 60, 0), kYellowCColor) << describe(pixel(*target, 60, 0));
  EXPECT_EQ(pixel(*target, 120, 50), kGreenCColor);
  EXPECT_EQ(pixel(*target, 60, 104), kGreenCColor);
  target->release();
  strip->release();
}

TEST_F(ControlDrawing, KnobHandleIsALineWithItsShadowToTheLeft) {
  // A 40 x 40 knob at 0.5: handle point (20, 3), centre point (19, 20). The shadow runs from
  // (19, 3) to (19, 20), the handle from (20, 2) to (20, 19).
  CKnob knob(CArea(0, 0, 40, 40), nullptr, 0, nullptr, nullptr);
  knob.setValue(0.5f);
  knob.setHandleColor(kRedCColor);
  auto* c = new COffscreenContext(nullptr, 40, 40);
  knob.draw(c);
  EXPECT_EQ(pixel(*c, 19, 10), kGreyCColor) << describe(pixel(*c, 19, 10));
  EXPECT_EQ(pixel(*c, 20, 10), kRedCColor) << describe(pixel(*c, 20, 10));
  EXPECT_EQ(pixel(*c, 22, 10).alpha, 0);
  EXPECT_FALSE(knob.isDirty());
  c->release();
}

TEST_F(ControlDrawing, FilmStripKnobCopiesTheFrameOfItsValue) {
  // Three 10-pixel frames: red, green, blue.
  auto* strip = new COffscreenContext(nullptr, 10, 30);
  const CRgbaColor colours[] = {kRedCColor, kGreenCColor, kBlueCColor};
  for (int i = 0; i < 3; ++i) {
    strip->setFillColor(colours[i]);
    strip->drawRect(CArea(0, i * 10, 10, i * 10 + 10), kDrawFilled);
  }
  gp::GdipFlush(static_cast<Gdiplus::GpGraphics*>(strip->getGraphics()), Gdiplus::FlushIntentionSync);
  CAnimKnob knob(CArea(0, 0, 10, 10), nullptr, 0, 3, 10, strip->getBitmap());
  auto* c = new COffscreenContext(nullptr, 10, 10);
  const std::pair<float, CRgbaColor> cases[] = {
      {0.0f, kRedCColor}, {0.5f, kGreenCColor}, {1.0f, kBlueCColor}};
  for (const auto& [value, colour] : cases) {
    knob.setValue(value);
    knob.draw(c);
    EXPECT_EQ(pixel(*c, 5, 0), colour) << value;
    EXPECT_EQ(pixel(*c, 5, 9), colour) << value;
  }
  c->release();
  strip->release();
}

TEST_F(ControlDrawing, SunkenBorderIsLightAtTopLeftAndDarkAtBottomRight) {
  const CRgbaColor back(200, 200, 200), outline(0, 0, 160);
  auto check = [&](int32_t style, const CRgbaColor& topLeft, const CRgbaColor& bottomRight) {
    auto* c = new COffscreenContext(nullptr, 50, 30);
    CParamDisplay d(CArea(2, 2, 42, 22), nullptr, style | kStyleNoText);
    d.setBackgroundColor(back);
    d.setOutlineColor(outline);
    d.draw(c);
    EXPECT_EQ(pixel(*c, 2, 12), topLeft) << style << " left " << describe(pixel(*c, 2, 12));
    EXPECT_EQ(pixel(*c, 20, 3), topLeft) << style << " top " << describe(pixel(*c, 20, 3));
    EXPECT_EQ(pixel(*c, 41, 12), bottomRight) << style << " right " << describe(pixel(*c, 41, 12));
    EXPECT_EQ(pixel(*c, 20, 22), bottomRight) << style << " bottom " << describe(pixel(*c, 20, 22));
    EXPECT_EQ(pixel(*c, 20, 12), back) << style << " inside";
    EXPECT_EQ(pixel(*c, 20, 2), back) << style << " no separate outline above the border";
    EXPECT_EQ(pixel(*c, 45, 12).alpha, 0) << style << " nothing outside";
    c->release();
  };
  check(kStyle3DIn, back, outline);
  check(kStyle3DOut, outline, back);
  // Without a 3D style the outline is stroked around the bounds.
  auto* c = new COffscreenContext(nullptr, 50, 30);
  CParamDisplay plain(CArea(2, 2, 42, 22), nullptr, kStyleNoText);
  plain.setOutlineColor(outline);
  plain.draw(c);
  EXPECT_EQ(pixel(*c, 2, 12), outline);
  EXPECT_EQ(pixel(*c, 20, 2), outline);
  c->release();
}

TEST_F(ControlDrawing, OptionMenuDrawsTheTitleOfItsCurrentItem) {
  // The reference: the display's own background, outline and text drawn by hand.
  auto reference = [](const char* text) {
    auto* c = new COffscreenContext(nullptr, 90, 24);
    const CArea area(2, 2, 88, 22);
    c->setFillColor(kBlackCColor);
    c->drawRect(area, kDrawFilled);
    c->setFrameColor(kBlackCColor);
    c->drawRect(area, kDrawStroked);
    c->setFont(fontText12);
    c->setFontColor(kWhiteCColor);
    c->drawString(text, area, kAlignCenter, true);
    return c;
  };
  COptionMenu menu(CArea(2, 2, 88, 22), nullptr, 0);
  menu.addItem("Input 1");
  menu.addItem("Input 2");
  menu.setValue(1.0f);
  auto* drawn = new COffscreenContext(nullptr, 90, 24);
  menu.draw(drawn);
  auto* second = reference("Input 2");
  auto* first = reference("Input 1");
  EXPECT_GT(countBright(*drawn), 20) << "text was drawn";
  EXPECT_TRUE(samePixels(*drawn, *second));
  EXPECT_FALSE(samePixels(*drawn, *first));
  first->release();
  second->release();
  drawn->release();
}

}  // namespace
