// A drawing context on a 32-bit ARGB bitmap of its own: the off-screen buffer of containers
// and of the frame's back buffer. Its pixels start fully transparent.
#pragma once

#include "gui/frame/CDrawContext.h"

namespace VSTGUI {

class CBitmap;

class COffscreenContext : public CDrawContext {
 public:
  // backgroundColor is kept for callers; the pixels are not painted with it.
  COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                    const CRgbaColor& backgroundColor = kBlackCColor);
  ~COffscreenContext() override;

  // Draws this context's pixels into destination at destArea, reading from sourceOffset.
  void copyFrom(CDrawContext* destination, const CArea& destArea, CPos sourceOffset = CPos());

  CBitmap* getBitmap() const { return bitmap; }
  int32_t getWidth() const { return width; }
  int32_t getHeight() const { return height; }
  CRgbaColor getBackgroundColor() const { return backgroundColor; }

 private:
  CBitmap* bitmap = nullptr;
  int32_t height = 0;
  int32_t width = 0;
  CRgbaColor backgroundColor;
};

}  // namespace VSTGUI
