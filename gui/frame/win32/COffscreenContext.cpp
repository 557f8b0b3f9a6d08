#include "gui/frame/COffscreenContext.h"

#include "gui/frame/CBitmap.h"
#include "gui/frame/LiveObjectCounts.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frameToUse, int32_t w, int32_t h, const CRgbaColor& color)
    : CDrawContext(frameToUse, nullptr, nullptr), height(h), width(w), backgroundColor(color) {
  // Premultiplied pixels of our own, as decoded pictures are held: an opaque picture can then
  // be copied in by rows, and the window is given the rows as they are.
  bitmap = CBitmap::createPixels(w, h);
  if (bitmap)
    pixelTarget = bitmap;
  else
    bitmap = new CBitmap(frameToUse, w, h);
  auto* image = static_cast<Gdiplus::GpImage*>(bitmap->getGdiplusBitmap());
  Gdiplus::GpGraphics* made = nullptr;
  if (image && gp::GdipGetImageGraphicsContext(image, &made) == Gdiplus::Ok && made) {
    graphics = made;
    countLive(kLiveGdiplusObjects, 1);
    gp::GdipSetInterpolationMode(made, Gdiplus::InterpolationModeLowQuality);
    gp::GdipSetPageUnit(made, Gdiplus::UnitPixel);
  }
  clip = CArea(w < 0 ? w : 0, h < 0 ? h : 0, w > 0 ? w : 0, h > 0 ? h : 0);
}

// The graphics object draws into the bitmap, so it goes first.
COffscreenContext::~COffscreenContext() {
  if (graphics) {
    gp::GdipDeleteGraphics(static_cast<Gdiplus::GpGraphics*>(graphics));
    countLive(kLiveGdiplusObjects, -1);
  }
  graphics = nullptr;
  if (bitmap) bitmap->release();
  bitmap = nullptr;
}

void COffscreenContext::copyFrom(CDrawContext* destination, const CArea& destArea, CPos sourceOffset) {
  if (bitmap && destination) bitmap->draw(destination, destArea, sourceOffset);
}

}  // namespace VSTGUI
