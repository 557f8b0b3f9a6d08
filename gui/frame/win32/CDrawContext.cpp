// CDrawContext over the GDI+ flat API. Every GDI+ status that is not Ok is kept as the last
// status and otherwise ignored: drawing goes on. Window thread only.
#include "gui/frame/CDrawContext.h"
#include "gui/frame/LiveObjectCounts.h"

#include <cmath>
#include <vector>

#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

namespace {

Gdiplus::GpGraphics* asGraphics(void* p) {
  return static_cast<Gdiplus::GpGraphics*>(p);
}
Gdiplus::GpPen* asPen(void* p) {
  return static_cast<Gdiplus::GpPen*>(p);
}
Gdiplus::GpSolidFill* asBrush(void* p) {
  return static_cast<Gdiplus::GpSolidFill*>(p);
}

// UTF-8 to UTF-16; a failed conversion gives the empty string.
std::vector<wchar_t> toWide(const char* utf8) {
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::vector<wchar_t> wide(needed > 0 ? static_cast<size_t>(needed) : 1, L'\0');
  if (needed <= 0 || MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), needed) <= 0)
    wide.assign(1, L'\0');
  return wide;
}

}  // namespace

#define KV_CHECK(call)                                \
  do {                                                \
    const Gdiplus::GpStatus status_ = (call);         \
    if (status_ != Gdiplus::Ok) lastStatus = status_; \
  } while (0)

CDrawContext::CDrawContext(CFrame* frameToUse, void* dc, void* windowToUse)
    : deviceContext(dc), window(windowToUse), frame(frameToUse) {
  countLive(kLiveDrawContexts, 1);
  clip = frame ? frame->getBounds() : CArea(0, 0, 1000, 1000);
  if (!deviceContext && window) {
    deviceContext = GetDC(static_cast<HWND>(window));
    ownsDeviceContext = deviceContext != nullptr;
    if (ownsDeviceContext) countLive(kLiveDeviceContexts, 1);
  }
  if (deviceContext) {
    Gdiplus::GpGraphics* made = nullptr;
    KV_CHECK(gp::GdipCreateFromHDC(static_cast<HDC>(deviceContext), &made));
    graphics = made;
    if (graphics) {
      countLive(kLiveGdiplusObjects, 1);
      KV_CHECK(gp::GdipSetInterpolationMode(asGraphics(graphics), Gdiplus::InterpolationModeLowQuality));
      KV_CHECK(gp::GdipSetPageUnit(asGraphics(graphics), Gdiplus::UnitPixel));
      KV_CHECK(gp::GdipSetPixelOffsetMode(asGraphics(graphics), Gdiplus::PixelOffsetModeNone));
    }
  }
  initialise();
  if (window) {
    RECT r;
    if (GetWindowRect(static_cast<HWND>(window), &r)) screenOffset = windowOrigin = CPos(r.left, r.top);
  }
  applyDefaults();
}

CDrawContext::~CDrawContext() {
  countLive(kLiveDrawContexts, -1);
  countLive(kLiveGdiplusObjects,
            -((fillBrush ? 1 : 0) + (fontBrush ? 1 : 0) + (pen ? 1 : 0) + (graphics ? 1 : 0)));
  if (font) font->release();
  font = nullptr;
  if (fillBrush) gp::GdipDeleteBrush(asBrush(fillBrush));
  if (fontBrush) gp::GdipDeleteBrush(asBrush(fontBrush));
  if (pen) gp::GdipDeletePen(asPen(pen));
  if (graphics) gp::GdipDeleteGraphics(asGraphics(graphics));
  graphics = nullptr;
  // A DC taken with GetDC must be given back, or a long session would run out of them.
  if (ownsDeviceContext) {
    ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(deviceContext));
    countLive(kLiveDeviceContexts, -1);
  }
}

void CDrawContext::initialise() {
  Gdiplus::GpPen* madePen = nullptr;
  KV_CHECK(gp::GdipCreatePen1(kBlackCColor.toArgb(), 1.0f, Gdiplus::UnitWorld, &madePen));
  pen = madePen;
  Gdiplus::GpSolidFill* brush = nullptr;
  KV_CHECK(gp::GdipCreateSolidFill(kBlackCColor.toArgb(), &brush));
  fillBrush = brush;
  brush = nullptr;
  KV_CHECK(gp::GdipCreateSolidFill(kBlackCColor.toArgb(), &brush));
  fontBrush = brush;
  countLive(kLiveGdiplusObjects, (pen ? 1 : 0) + (fillBrush ? 1 : 0) + (fontBrush ? 1 : 0));
}

void CDrawContext::setLineStyle(int32_t style) {
  if (style == lineStyle) return;
  lineStyle = style;
  if (pen)
    KV_CHECK(gp::GdipSetPenDashStyle(asPen(pen),
                                     style == kLineDotted ? Gdiplus::DashStyleDot : Gdiplus::DashStyleSolid));
}

void CDrawContext::setLineWidth(int32_t width) {
  if (width == lineWidth) return;
  lineWidth = width;
  if (pen) KV_CHECK(gp::GdipSetPenWidth(asPen(pen), static_cast<Gdiplus::REAL>(width)));
}

void CDrawContext::setDrawMode(int32_t mode) {
  if (mode == drawMode) return;
  drawMode = mode;
  if (graphics)
    KV_CHECK(gp::GdipSetSmoothingMode(asGraphics(graphics), mode == kDrawModeAntialias
                                                                ? Gdiplus::SmoothingModeAntiAlias
                                                                : Gdiplus::SmoothingModeNone));
}

void CDrawContext::setFrameColor(const CRgbaColor& color) {
  if (color == frameColor) return;
  frameColor = color;
  if (pen) KV_CHECK(gp::GdipSetPenColor(asPen(pen), color.toArgb()));
}

void CDrawContext::setFillColor(const CRgbaColor& color) {
  if (color == fillColor) return;
  fillColor = color;
  if (fillBrush) KV_CHECK(gp::GdipSetSolidFillColor(asBrush(fillBrush), color.toArgb()));
}

void CDrawContext::setFontColor(const CRgbaColor& color) {
  fontColor = color;
  if (fontBrush) KV_CHECK(gp::GdipSetSolidFillColor(asBrush(fontBrush), color.toArgb()));
}

void CDrawContext::setClipRect(const CArea& area) {
  CArea absolute = area;
  absolute.offset(offset.x, offset.y);
  if (absolute == clip) return;
  clip = absolute;
  if (!graphics) return;
  if (scale == 1.0f) {
    KV_CHECK(gp::GdipSetClipRectI(asGraphics(graphics), clip.left, clip.top, clip.getWidth(),
                                  clip.getHeight(), Gdiplus::CombineModeReplace));
    return;
  }
  // On whole device pixels, rounded as pictures place themselves, so a picture drawn to its
  // clip's edge fills it exactly.
  beginDevicePixels();
  const int32_t left = toDevice(clip.left), top = toDevice(clip.top);
  KV_CHECK(gp::GdipSetClipRectI(asGraphics(graphics), left, top, toDevice(clip.right) - left,
                                toDevice(clip.bottom) - top, Gdiplus::CombineModeReplace));
  endDevicePixels();
}

void CDrawContext::setScale(float newScale) {
  if (!(newScale > 0.0f) || newScale == scale) return;
  // The clip keeps the device pixels it covered: in the new units it reaches out to whole ones.
  const float ratio = scale / newScale;
  const CArea kept(static_cast<int32_t>(std::floor(static_cast<float>(clip.left) * ratio)),
                   static_cast<int32_t>(std::floor(static_cast<float>(clip.top) * ratio)),
                   static_cast<int32_t>(std::ceil(static_cast<float>(clip.right) * ratio)),
                   static_cast<int32_t>(std::ceil(static_cast<float>(clip.bottom) * ratio)));
  scale = newScale;
  endDevicePixels();
  clip = CArea();
  const CPos savedOffset = offset;
  offset = CPos();
  setClipRect(kept);
  offset = savedOffset;
}

void CDrawContext::beginDevicePixels() {
  if (graphics && scale != 1.0f) KV_CHECK(gp::GdipResetWorldTransform(asGraphics(graphics)));
}

void CDrawContext::endDevicePixels() {
  if (!graphics) return;
  KV_CHECK(gp::GdipResetWorldTransform(asGraphics(graphics)));
  if (scale != 1.0f)
    KV_CHECK(gp::GdipScaleWorldTransform(asGraphics(graphics), scale, scale, Gdiplus::MatrixOrderPrepend));
}

CArea& CDrawContext::getClipRect(CArea& out) const {
  out = clip;
  out.offset(-offset.x, -offset.y);
  return out;
}

void CDrawContext::moveTo(CPos point) {
  penPosition = CPos(point.x + offset.x, point.y + offset.y);
}

void CDrawContext::lineTo(CPos point) {
  const CPos end(point.x + offset.x, point.y + offset.y);
  if (graphics && pen)
    KV_CHECK(gp::GdipDrawLineI(asGraphics(graphics), asPen(pen), penPosition.x, penPosition.y, end.x, end.y));
  penPosition = end;
}

void CDrawContext::drawRect(const CArea& area, int32_t style) {
  if (!graphics) return;
  CArea r(std::min(area.left, area.right), std::min(area.top, area.bottom), std::max(area.left, area.right),
          std::max(area.top, area.bottom));
  r.offset(offset.x, offset.y);
  const auto x = static_cast<Gdiplus::REAL>(r.left);
  const auto y = static_cast<Gdiplus::REAL>(r.top);
  const auto w = static_cast<Gdiplus::REAL>(r.getWidth());
  const auto h = static_cast<Gdiplus::REAL>(r.getHeight());
  if ((style == kDrawFilled || style == kDrawFilledAndStroked) && fillBrush)
    KV_CHECK(gp::GdipFillRectangle(asGraphics(graphics), asBrush(fillBrush), x, y, w, h));
  // The stroke covers pixels left..right-1: a 10-wide rectangle touches 10 columns.
  if ((style == kDrawStroked || style == kDrawFilledAndStroked) && pen)
    KV_CHECK(gp::GdipDrawRectangle(asGraphics(graphics), asPen(pen), x, y, w - 1, h - 1));
}

void CDrawContext::drawString(const char* utf8, const CArea& area, int32_t alignment, bool antialias) {
  if (!utf8 || !font) return;
  const int32_t y = textBaseline(area, font->getSize());
  const int32_t x = textLeft(area, alignment == kAlignLeft ? 0 : getStringWidth(utf8), alignment);
  CArea saved;
  getClipRect(saved);
  setClipRect(intersection(area, saved));
  drawTextAt(utf8, CPos(x, y), antialias);
  setClipRect(saved);
}

void CDrawContext::drawTextAt(const char* utf8, CPos point, bool antialias) {
  if (!utf8 || !font || !graphics || !fontBrush) return;
  auto* platformFont = static_cast<Gdiplus::GpFont*>(font->getPlatformFont());
  if (!platformFont) return;
  KV_CHECK(gp::GdipSetTextRenderingHint(asGraphics(graphics), antialias
                                                                  ? Gdiplus::TextRenderingHintClearTypeGridFit
                                                                  : Gdiplus::TextRenderingHintSystemDefault));
  Gdiplus::REAL dpiY = 96.0f;
  KV_CHECK(gp::GdipGetDpiY(asGraphics(graphics), &dpiY));
  Gdiplus::REAL fontHeight = 0.0f;
  KV_CHECK(gp::GdipGetFontHeightGivenDPI(platformFont, dpiY, &fontHeight));
  const std::vector<wchar_t> wide = toWide(utf8);
  const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(point.x + offset.x),
                              static_cast<Gdiplus::REAL>(point.y + offset.y + 1) - fontHeight, 0.0f, 0.0f);
  KV_CHECK(gp::GdipDrawString(asGraphics(graphics), wide.data(), -1, platformFont, &layout, nullptr,
                              asBrush(fontBrush)));
}

int32_t CDrawContext::getStringWidth(const char* utf8) {
  if (!utf8 || !font || !graphics) return -1;
  auto* platformFont = static_cast<Gdiplus::GpFont*>(font->getPlatformFont());
  if (!platformFont) return -1;
  const std::vector<wchar_t> wide = toWide(utf8);
  const Gdiplus::RectF layout(0.0f, 0.0f, 0.0f, 0.0f);
  Gdiplus::RectF box(0.0f, 0.0f, 0.0f, 0.0f);
  KV_CHECK(gp::GdipMeasureString(asGraphics(graphics), wide.data(), -1, platformFont, &layout, nullptr, &box,
                                 nullptr, nullptr));
  return static_cast<int32_t>(box.Width);
}

void CDrawContext::getPointerPosition(CPos& out) {
  POINT p = {0, 0};
  GetCursorPos(&p);
  // The window's corner is in screen pixels, the views' offsets added to it in drawing units.
  out = CPos(static_cast<int32_t>(static_cast<float>(p.x - windowOrigin.x) / scale) -
                 (screenOffset.x - windowOrigin.x),
             static_cast<int32_t>(static_cast<float>(p.y - windowOrigin.y) / scale) -
                 (screenOffset.y - windowOrigin.y));
}

}  // namespace VSTGUI
