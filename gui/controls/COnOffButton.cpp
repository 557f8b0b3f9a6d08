#include "gui/controls/COnOffButton.h"

#include <cstring>

#include "gui/frame/CBitmap.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CArea& area, CControlListener* buttonListener, int32_t buttonTag,
                           CBitmap* backgroundBitmap, int32_t buttonStyle)
    : CControl(area, buttonListener, buttonTag, backgroundBitmap), style(buttonStyle) {}

void COnOffButton::draw(CDrawContext* context) {
  if (background) {
    // Any value other than 0 shows the lower half; not a number counts as not 0.
    const CPos offset(0, value != 0.0f ? background->getHeight() / 2 : 0);
    if (transparency)
      background->drawTransparent(context, bounds, offset);
    else
      background->draw(context, bounds, offset);
  }
  setDirty(false);
}

void COnOffButton::toggle(bool invalidateNow) {
  // The value truncated to an integer decides: 0.7 counts as off and becomes 1. A value
  // that is not a number counts as on, as it draws.
  const bool truncatesToZero = value > -1.0f && value < 1.0f;
  value = truncatesToZero ? 1.0f : 0.0f;
  if (invalidateNow) invalidate();
  if (style == kPostListenerUpdate) {
    if (listener) {
      beginEdit();
      listener->valueChanged(this);
      endEdit();
    }
    runEditorIdle();
  } else {
    runEditorIdle();
    if (listener) {
      beginEdit();
      listener->valueChanged(this);
      endEdit();
    }
  }
}

CMouseEventResult COnOffButton::onMouseDown(CPos, CButtonState buttons) {
  if (!(buttons & kButtonLeft)) return kMouseIgnored;
  toggle(true);
  return kMouseHandledNoTracking;
}

// Reached only if onMouseDown answered kMouseFallback, which it never does.
void COnOffButton::trackMouse(CDrawContext*, CPos, CButtonState buttons) {
  if (!(buttons & kButtonLeft)) return;
  if ((buttons & 0xF0) && listener && listener->onModifierClick(this, buttons) != 0) return;
  toggle(false);
}

bool COnOffButton::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "COnOffButton") == 0 || CControl::isTypeOf(className));
}

CView* COnOffButton::clone() const {
  return new COnOffButton(*this);
}

int32_t COnOffButton::getStyle() const {
  return style;
}
void COnOffButton::setStyle(int32_t newStyle) {
  style = newStyle;
}

}  // namespace VSTGUI
