// A control that shows its value as text, with its own font, colours, alignment and border
// style; also the text drawing of the option menu and the text label.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CControl.h"
#include "gui/frame/CRgbaColor.h"

namespace VSTGUI {

class CFontDesc;

// Style bits of the text displays (the option menu reads more, see COptionMenu.h).
enum : int32_t {
  kStyleShadowText = 0x04,
  kStyle3DIn = 0x80,
  kStyle3DOut = 0x100,
  kStyleNoText = 0x800,
  kStyleNoDraw = 0x1000,
  kStyleNoOutline = 0x4000,
};

// Formatters write at most kParamDisplayTextSize bytes, terminator included.
inline constexpr int32_t kParamDisplayTextSize = 256;
using CParamDisplayValueToString = void (*)(float value, char* text);
using CParamDisplayValueToStringUserData = void (*)(float value, char* text, void* userData);

class CParamDisplay : public CControl {
 public:
  CParamDisplay(const CArea& bounds, CBitmap* background = nullptr, int32_t style = 0);
  ~CParamDisplay() override;

  void draw(CDrawContext* context) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;

  // Always marks dirty; the display holds one reference to the font.
  virtual void setFont(CFontDesc* newFont);
  // Colour, alignment and style setters mark dirty only when the value changes.
  virtual void setTextColor(const CRgbaColor& color);
  virtual void setBackgroundColor(const CRgbaColor& color);
  virtual void setOutlineColor(const CRgbaColor& color);
  virtual void setShadowColor(const CRgbaColor& color);
  virtual void setTextAntialias(bool antialias);
  virtual void setTextAlignment(int32_t alignment);
  virtual void setValueFormatter(CParamDisplayValueToStringUserData formatter, void* userData);
  virtual void setValueFormatter(CParamDisplayValueToString formatter);
  virtual void setHorizontalScale(int64_t scale);
  virtual void setStyle(int32_t newStyle);
  virtual void setTextTransparency(bool transparent);
  // Background (the given bitmap, else the view's), border and the text in the font,
  // clipped to the bounds.
  virtual void drawText(CDrawContext* context, const char* text, CBitmap* bitmap = nullptr);

  CFontDesc* getFont() const { return font; }
  CRgbaColor getTextColor() const { return textColor; }
  CRgbaColor getBackgroundColor() const { return backgroundColor; }
  CRgbaColor getOutlineColor() const { return outlineColor; }
  CRgbaColor getShadowColor() const { return shadowColor; }
  bool getTextAntialias() const { return antialiasText; }
  int32_t getTextAlignment() const { return textAlignment; }
  int32_t getStyle() const { return style; }
  // The text draw shows for the current value: the formatter's, else "%2.2f".
  void formatValue(char (&text)[kParamDisplayTextSize]) const;

 protected:
  CParamDisplay(const CParamDisplay& other);

  CParamDisplayValueToString valueToString = nullptr;
  CParamDisplayValueToStringUserData valueToStringUserData = nullptr;
  int64_t horizontalScale = 0;  // kept for callers, no drawing reads it
  void* userData = nullptr;
  int32_t textAlignment = 1;  // kAlignCenter
  int32_t style = 0;
  CFontDesc* font = nullptr;
  CRgbaColor textColor{255, 255, 255, 255};
  CRgbaColor backgroundColor{0, 0, 0, 255};
  CRgbaColor outlineColor{0, 0, 0, 255};
  CRgbaColor shadowColor{255, 0, 0, 255};
  bool textTransparency = true;  // kept for callers, no drawing reads it
  bool antialiasText = true;
};

}  // namespace VSTGUI
