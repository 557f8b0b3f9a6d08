// The drawing context's platform-neutral state; drawing itself is the platform's.
#include "gui/frame/CDrawContext.h"

#include "gui/frame/CFontDesc.h"

namespace VSTGUI {

// The pen, fill, font and mode every new context starts with.
void CDrawContext::applyDefaults() {
  setFrameColor(kWhiteCColor);
  setLineStyle(kLineSolid);
  setLineWidth(1);
  setFillColor(kBlackCColor);
  setFontColor(kWhiteCColor);
  setFont(fontDefault12, 0, -1);
  setDrawMode(kDrawModeCopy);
}

void CDrawContext::setFont(CFontDesc* newFont, int32_t newSize, int32_t newStyle) {
  if (!newFont) return;
  // Retain before releasing: the new font may be the current one.
  CFontDesc* previous = font;
  if ((newSize < 1 || newSize == newFont->getSize()) && (newStyle == -1 || newStyle == newFont->getStyle())) {
    font = newFont;
    font->retain();
  } else {
    font = new CFontDesc(newFont->getName(), newSize > 0 ? newSize : newFont->getSize(),
                         newStyle != -1 ? newStyle : newFont->getStyle());
  }
  if (previous) previous->release();
}

}  // namespace VSTGUI
