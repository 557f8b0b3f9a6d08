// The drawing surface the views see: one GDI+ graphics object on a window's device context
// (COffscreenContext: on a 32-bit bitmap) with pen, fill and font state, a clip and two
// offsets that the view tree moves while it descends. Coordinates are integer pixels of the
// views' own size and are shifted by the drawing offset before they reach GDI+; a context with
// a scale other than 1 draws them that many times larger on its device (an editor shown at
// 200 % draws the same views into twice as many pixels each way).
// Created and used only on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/frame/CArea.h"
#include "gui/frame/CBaseObject.h"
#include "gui/frame/CPos.h"
#include "gui/frame/CRgbaColor.h"

namespace VSTGUI {

class CBitmap;
class CFontDesc;
class CFrame;

enum CLineStyle : int32_t { kLineSolid = 0, kLineDotted = 1 };
enum CDrawMode : int32_t { kDrawModeCopy = 0, kDrawModeAntialias = 3 };
enum CDrawStyle : int32_t { kDrawStroked = 0, kDrawFilled = 1, kDrawFilledAndStroked = 2 };
enum CHoriTxtAlign : int32_t { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

class CDrawContext : public CBaseObject {
 public:
  // Any argument may be null. With a window but no device context the window's DC is taken
  // (and given back on destruction); with neither, every primitive does nothing.
  CDrawContext(CFrame* frame, void* deviceContext, void* window);
  ~CDrawContext() override;

  void setLineStyle(int32_t style);
  int32_t getLineStyle() const { return lineStyle; }
  void setLineWidth(int32_t width);
  int32_t getLineWidth() const { return lineWidth; }
  void setDrawMode(int32_t mode);
  int32_t getDrawMode() const { return drawMode; }
  void setFrameColor(const CRgbaColor& color);
  CRgbaColor getFrameColor() const { return frameColor; }
  void setFillColor(const CRgbaColor& color);
  CRgbaColor getFillColor() const { return fillColor; }
  void setFontColor(const CRgbaColor& color);
  CRgbaColor getFontColor() const { return fontColor; }
  void setFont(CFontDesc* font, int32_t size = 0, int32_t style = -1);
  CFontDesc* getFont() const { return font; }

  // area is in the current drawing coordinates; stored in device coordinates.
  void setClipRect(const CArea& area);
  // The clip in the current drawing coordinates (stored clip minus the drawing offset).
  CArea& getClipRect(CArea& out) const;

  void moveTo(CPos point);
  void lineTo(CPos point);
  void drawRect(const CArea& area, int32_t style = kDrawStroked);
  void drawString(const char* utf8, const CArea& area, int32_t alignment = kAlignCenter,
                  bool antialias = true);
  void drawTextAt(const char* utf8, CPos baseline, bool antialias = true);
  // Width in pixels of the text in the current font; -1 without a font or graphics.
  int32_t getStringWidth(const char* utf8);
  // The screen cursor position relative to the screen offset.
  void getPointerPosition(CPos& out);

  // Placement of drawString: the baseline for a font of fontSize pixels in area, and the
  // left edge of a text of textWidth pixels (integer halvings truncate toward zero; the
  // centred position is computed in float and truncated).
  static int32_t textBaseline(const CArea& area, int32_t fontSize) {
    return area.bottom - 1 + fontSize / 2 - area.getHeight() / 2;
  }
  static int32_t textLeft(const CArea& area, int32_t textWidth, int32_t alignment) {
    if (alignment == kAlignLeft) return area.left;
    if (alignment == kAlignRight) return area.right - textWidth;
    return static_cast<int32_t>(static_cast<float>(area.right - area.left) * 0.5f +
                                static_cast<float>(area.left) - static_cast<float>(textWidth) * 0.5f);
  }

  // The device's pixels per drawing unit (1 by default). Lines, rectangles and text follow it;
  // pictures place themselves on whole device pixels through toDevice.
  void setScale(float newScale);
  float getScale() const { return scale; }
  // An edge in drawing units as a device pixel edge, rounded to the nearest: every drawing of
  // the same edge lands on the same pixel, so neighbouring pictures and clips meet exactly.
  int32_t toDevice(int32_t edge) const { return deviceEdge(edge, scale); }
  static int32_t deviceEdge(int32_t edge, float scale) {
    const float scaled = static_cast<float>(edge) * scale;
    return static_cast<int32_t>(scaled < 0.0f ? scaled - 0.5f : scaled + 0.5f);
  }
  // Between these two calls the primitives take device pixels (the scale set aside).
  void beginDevicePixels();
  void endDevicePixels();

  const CPos& getOffset() const { return offset; }
  void setOffset(const CPos& p) { offset = p; }
  const CPos& getScreenOffset() const { return screenOffset; }
  void setScreenOffset(const CPos& p) { screenOffset = p; }
  CPos getPenPosition() const { return penPosition; }
  CFrame* getFrame() const { return frame; }
  void* getDeviceContext() const { return deviceContext; }
  void* getWindow() const { return window; }
  // The picture an off-screen context draws into, whose pixels may be written directly, or null.
  CBitmap* getPixelTarget() const { return pixelTarget; }
  // The platform graphics object (a GpGraphics* on Windows), or null.
  void* getGraphics() const { return graphics; }
  // The status of the last failed platform call (0 when none failed).
  int32_t getLastStatus() const { return lastStatus; }

 protected:
  // Shared tail of both constructors: creates pen and brushes over the graphics object and
  // applies the default state.
  void initialise();
  void applyDefaults();

  CPos screenOffset;
  CPos windowOrigin;  // the window's top-left corner on the screen, in screen pixels
  CPos offset;
  void* deviceContext = nullptr;
  void* window = nullptr;
  CFrame* frame = nullptr;
  CFontDesc* font = nullptr;
  CRgbaColor fontColor;
  CPos penPosition;
  int32_t lineWidth = 0;
  CRgbaColor frameColor;
  CRgbaColor fillColor;
  int32_t lineStyle = kLineDotted;
  int32_t drawMode = kDrawModeAntialias;
  CArea clip;
  float scale = 1.0f;
  CBitmap* pixelTarget = nullptr;
  void* graphics = nullptr;
  int32_t lastStatus = 0;
  void* pen = nullptr;
  void* fillBrush = nullptr;
  void* fontBrush = nullptr;
  bool ownsDeviceContext = false;
};

}  // namespace VSTGUI
