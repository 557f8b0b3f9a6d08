#include "gui/controls/CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFontDesc.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CArea& area, CBitmap* backgroundBitmap, int32_t displayStyle)
    : CControl(area, nullptr, 0, backgroundBitmap), style(displayStyle), font(fontText12) {
  font->retain();
  if (style & kStyleNoDraw) setDirty(false);
}

CParamDisplay::CParamDisplay(const CParamDisplay& other)
    : CControl(other),
      valueToString(other.valueToString),
      valueToStringUserData(other.valueToStringUserData),
      horizontalScale(other.horizontalScale),
      userData(other.userData),
      textAlignment(other.textAlignment),
      style(other.style),
      font(other.font),
      textColor(other.textColor),
      backgroundColor(other.backgroundColor),
      outlineColor(other.outlineColor),
      shadowColor(other.shadowColor),
      textTransparency(other.textTransparency),
      antialiasText(other.antialiasText) {
  if (font) font->retain();
}

CParamDisplay::~CParamDisplay() {
  if (font) font->release();
  font = nullptr;
}

void CParamDisplay::setFont(CFontDesc* newFont) {
  setDirty(true);
  if (newFont) newFont->retain();
  if (font) font->release();
  font = newFont;
}

void CParamDisplay::setTextColor(const CRgbaColor& color) {
  if (color == textColor) return;
  textColor = color;
  setDirty(true);
}
void CParamDisplay::setBackgroundColor(const CRgbaColor& color) {
  if (color == backgroundColor) return;
  backgroundColor = color;
  setDirty(true);
}
void CParamDisplay::setOutlineColor(const CRgbaColor& color) {
  if (color == outlineColor) return;
  outlineColor = color;
  setDirty(true);
}
void CParamDisplay::setShadowColor(const CRgbaColor& color) {
  if (color == shadowColor) return;
  shadowColor = color;
  setDirty(true);
}
void CParamDisplay::setTextAntialias(bool antialias) {
  antialiasText = antialias;
}
void CParamDisplay::setTextAlignment(int32_t alignment) {
  if (alignment == textAlignment) return;
  textAlignment = alignment;
  setDirty(true);
}
void CParamDisplay::setValueFormatter(CParamDisplayValueToStringUserData formatter, void* data) {
  valueToStringUserData = formatter;
  userData = data;
}
void CParamDisplay::setValueFormatter(CParamDisplayValueToString formatter) {
  valueToString = formatter;
}
void CParamDisplay::setHorizontalScale(int64_t scale) {
  horizontalScale = scale;
}
void CParamDisplay::setStyle(int32_t newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  setDirty(true);
}
void CParamDisplay::setTextTransparency(bool transparent) {
  textTransparency = transparent;
}

void CParamDisplay::formatValue(char (&text)[kParamDisplayTextSize]) const {
  text[0] = '\0';
  if (valueToStringUserData)
    valueToStringUserData(value, text, userData);
  else if (valueToString)
    valueToString(value, text);
  else
    std::snprintf(text, sizeof(text), "%2.2f", static_cast<double>(value));
  // A formatter that forgets the terminator must not send the text drawing past the buffer.
  text[kParamDisplayTextSize - 1] = '\0';
}

void CParamDisplay::draw(CDrawContext* context) {
  char text[kParamDisplayTextSize];
  formatValue(text);
  drawText(context, text, nullptr);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* bitmap) {
  setDirty(false);
  if ((style & kStyleNoDraw) || !context) return;

  CBitmap* picture = bitmap ? bitmap : background;
  if (picture) {
    if (transparency)
      picture->drawTransparent(context, bounds, backgroundOffset);
    else
      picture->draw(context, bounds, backgroundOffset);
  } else if (!transparency) {
    context->setFillColor(backgroundColor);
    context->drawRect(bounds, kDrawFilled);
    if (!(style & (kStyleNoOutline | kStyle3DIn | kStyle3DOut))) {
      context->setLineWidth(1);
      context->setFrameColor(outlineColor);
      context->drawRect(bounds, kDrawStroked);
    }
  }

  if (style & (kStyle3DIn | kStyle3DOut)) {
    // Lit from the top left: a sunken border has the light colour there, a raised one the
    // dark colour.
    const bool sunken = (style & kStyle3DIn) != 0;
    context->setLineWidth(1);
    context->setFrameColor(sunken ? backgroundColor : outlineColor);
    context->moveTo(CPos(bounds.left, bounds.bottom));
    context->lineTo(CPos(bounds.left, bounds.top + 1));
    context->lineTo(CPos(bounds.right - 1, bounds.top + 1));
    context->setFrameColor(sunken ? outlineColor : backgroundColor);
    context->moveTo(CPos(bounds.right - 1, bounds.top + 1));
    context->lineTo(CPos(bounds.right - 1, bounds.bottom));
    context->lineTo(CPos(bounds.left, bounds.bottom));
  }

  if ((style & kStyleNoText) || !text || !text[0]) return;

  CArea oldClip;
  context->getClipRect(oldClip);
  context->setClipRect(intersection(bounds, oldClip));
  context->setFont(font, 0, -1);
  if (style & kStyleShadowText) {
    CArea shadowArea = bounds;
    shadowArea.offset(1, 1);
    context->setFontColor(shadowColor);
    context->drawString(text, shadowArea, textAlignment, antialiasText);
  }
  context->setFontColor(textColor);
  context->drawString(text, bounds, textAlignment, antialiasText);
  context->setClipRect(oldClip);
}

bool CParamDisplay::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CParamDisplay") == 0 || CControl::isTypeOf(className));
}

CView* CParamDisplay::clone() const {
  return new CParamDisplay(*this);
}

}  // namespace VSTGUI
