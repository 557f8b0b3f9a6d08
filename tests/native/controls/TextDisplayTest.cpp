// The parameter display's formatting and its dirty rules, and the text label's text.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/controls/CTextLabel.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFontDesc.h"

using namespace VSTGUI;

namespace {
std::string shown(const CParamDisplay& d) {
  char text[kParamDisplayTextSize];
  d.formatValue(text);
  return text;
}
}  // namespace

TEST(ParamDisplayText, DefaultFormatRoundsToTwoDecimals) {
  CParamDisplay d(CArea(0, 0, 50, 20));
  d.setValue(0.5f);
  EXPECT_EQ(shown(d), "0.50");
  d.setValue(12.345f);
  EXPECT_EQ(shown(d), "12.35");
  d.setValue(-3e38f);
  EXPECT_LT(shown(d).size(), size_t(kParamDisplayTextSize));
}

TEST(ParamDisplayText, TheFormatterWithUserDataComesFirst) {
  CParamDisplay d(CArea(0, 0, 50, 20));
  d.setValue(0.25f);
  d.setValueFormatter([](float v, char* text) { std::snprintf(text, 256, "plain %g", double(v)); });
  EXPECT_EQ(shown(d), "plain 0.25");
  int calls = 0;
  d.setValueFormatter(
      [](float, char* text, void* data) {
        ++*static_cast<int*>(data);
        std::strcpy(text, "with data");
      },
      &calls);
  EXPECT_EQ(shown(d), "with data");
  EXPECT_EQ(calls, 1);
  // A formatter that fills the whole buffer without a terminator is cut at its end.
  d.setValueFormatter([](float, char* text, void*) { std::memset(text, 'x', 256); }, nullptr);
  EXPECT_EQ(shown(d).size(), size_t(kParamDisplayTextSize - 1));
}

TEST(ParamDisplayDirty, SettersMarkDirtyOnlyOnAChange) {
  CParamDisplay d(CArea(0, 0, 50, 20));
  d.setDirty(false);
  d.setTextColor(kRedCColor);
  EXPECT_TRUE(d.isDirty());
  d.setDirty(false);
  d.setTextColor(kRedCColor);
  EXPECT_FALSE(d.isDirty());
  d.setBackgroundColor(kBlackCColor);  // the initial colour
  d.setOutlineColor(kBlackCColor);
  d.setShadowColor(kRedCColor);
  d.setTextAlignment(kAlignCenter);
  d.setStyle(0);
  EXPECT_FALSE(d.isDirty());
  d.setTextAlignment(kAlignRight);
  EXPECT_TRUE(d.isDirty());
  d.setDirty(false);
  d.setStyle(kStyle3DIn);
  EXPECT_TRUE(d.isDirty());
  d.setDirty(false);
  d.setFont(d.getFont());  // always marks dirty
  EXPECT_TRUE(d.isDirty());
}

TEST(ParamDisplayFont, HoldsOneReferenceToItsFont) {
  const int32_t before12 = fontText12->getNbReference();
  const int32_t before14 = fontText14->getNbReference();
  {
    CParamDisplay d(CArea(0, 0, 50, 20));
    EXPECT_EQ(d.getFont(), fontText12);
    EXPECT_EQ(fontText12->getNbReference(), before12 + 1);
    d.setFont(fontText14);
    EXPECT_EQ(fontText12->getNbReference(), before12);
    EXPECT_EQ(fontText14->getNbReference(), before14 + 1);
    CView* copy = d.clone();
    EXPECT_EQ(fontText14->getNbReference(), before14 + 2);
    copy->release();
  }
  EXPECT_EQ(fontText14->getNbReference(), before14);
}

TEST(ParamDisplayDraw, RestoresTheClipAndLeavesTheViewClean) {
  CParamDisplay d(CArea(10, 10, 60, 30), nullptr, kStyleShadowText);
  CDrawContext context(nullptr, nullptr, nullptr);
  context.setClipRect(CArea(0, 0, 40, 40));
  d.draw(&context);
  CArea clip;
  context.getClipRect(clip);
  EXPECT_EQ(clip, CArea(0, 0, 40, 40));
  EXPECT_EQ(context.getFont(), d.getFont());
  EXPECT_FALSE(d.isDirty());
  CParamDisplay hidden(CArea(0, 0, 5, 5), nullptr, kStyleNoDraw);
  EXPECT_FALSE(hidden.isDirty()) << "a display that never draws starts clean";
}

TEST(TextLabel, SettingTheSameTextMarksDirtyOnce) {
  CTextLabel label(CArea(0, 0, 80, 20), "Gain");
  label.setDirty(false);
  label.setText("Gain");
  EXPECT_FALSE(label.isDirty());
  label.setText("Tone");
  EXPECT_TRUE(label.isDirty());
  EXPECT_STREQ(label.getText(), "Tone");
  label.setDirty(false);
  label.setText(nullptr);
  EXPECT_TRUE(label.isDirty());
  EXPECT_EQ(label.getText(), nullptr);
  label.setDirty(false);
  label.setText(nullptr);
  EXPECT_FALSE(label.isDirty());
  label.setText("Volume");
  label.setText(label.getText());  // its own text
  CView* copy = label.clone();
  auto* labelCopy = static_cast<CTextLabel*>(copy);
  EXPECT_STREQ(labelCopy->getText(), "Volume");
  EXPECT_NE(labelCopy->getText(), label.getText());
  EXPECT_TRUE(copy->isTypeOf("CTextLabel") && copy->isTypeOf("CParamDisplay") &&
              !copy->isTypeOf("COptionMenu"));
  copy->release();
  CDrawContext context(nullptr, nullptr, nullptr);
  label.draw(&context);
  EXPECT_FALSE(label.isDirty());
}
