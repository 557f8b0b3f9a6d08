// The drawing context's platform-neutral state; drawing itself is the platform's.
#include "gui/frame/CDrawContext.h"

#include "gui/frame/CFontDesc.h"

namespace VSTGUI {

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
