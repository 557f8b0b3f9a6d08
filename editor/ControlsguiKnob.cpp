#include "editor/ControlsguiKnob.h"

#include "editor/ControlsguiEditorLayout.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"

using namespace VSTGUI;

void ControlsguiKnob::draw(CDrawContext* context) {
  const bool marked = !focusedByMouse && parentFrame != nullptr && parentFrame->getFocusView() == this;
  CAnimKnob::draw(context);
  if (marked && context != nullptr) {
    // A bar under the knob, between the scale's ends: a frame around the bounds would cross
    // the scale's numbers.
    const int32_t half = bounds.getWidth() / 2 - 2 < 16 ? bounds.getWidth() / 2 - 2 : 16;
    const int32_t cx = bounds.left + bounds.getWidth() / 2;
    context->setFillColor(editorlayout::kFocusRingColor);
    context->drawRect(CArea(cx - half, bounds.bottom - 4, cx + half, bounds.bottom - 2), kDrawFilled);
  }
}

CMouseEventResult ControlsguiKnob::onMouseDown(CPos where, CButtonState buttons) {
  focusedByMouse = true;
  return CAnimKnob::onMouseDown(where, buttons);
}

void ControlsguiKnob::focusLost() {
  focusedByMouse = false;
  CAnimKnob::focusLost();
}

CView* ControlsguiKnob::clone() const {
  return new ControlsguiKnob(*this);
}
