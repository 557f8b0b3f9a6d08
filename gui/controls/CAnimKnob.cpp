#include "gui/controls/CAnimKnob.h"

#include <cstring>

#include "gui/controls/FloatToInt.h"
#include "gui/frame/CBitmap.h"

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CArea& area, CControlListener* knobListener, int32_t knobTag, int32_t count,
                     int32_t height, CBitmap* strip, CPos offset)
    : CKnob(area, knobListener, knobTag, strip, nullptr, offset), frameCount(count) {
  setFrameHeight(height);
  inset = 0;
}

void CAnimKnob::setFrameHeight(int32_t height) {
  frameHeight = height;
  if (background && height != 0) frameCount = static_cast<int16_t>(background->getHeight() / height);
}

int32_t CAnimKnob::getFrameHeight() const {
  return frameHeight;
}

void CAnimKnob::fitFrameHeightToView() {
  setFrameHeight(bounds.getHeight());
}

int32_t CAnimKnob::stripOffsetForValue() const {
  // Not a number counts as below 0: the first frame.
  if (!(value >= 0.0f) || frameHeight <= 0 || frameCount <= 1) return 0;
  const int32_t total = frameHeight * (frameCount - 1);
  // The value is clamped to the strip: past 1 the offset would leave the picture, and the
  // meters are fed by the audio thread's levels, which can overshoot.
  const float v = value > 1.0f ? 1.0f : value;
  int32_t y = truncateToInt((inverseBitmap ? 1.0f - v : v) * static_cast<float>(total));
  if (y > total) y = total;
  if (y < 0) y = 0;
  return frameHeight * (y / frameHeight);
}

void CAnimKnob::draw(CDrawContext* context) {
  const CPos offset(0, stripOffsetForValue());
  if (background) {
    if (transparency)
      background->drawTransparent(context, bounds, offset);
    else
      background->draw(context, bounds, offset);
  }
  handlePointForValue(lastDrawnPoint);
  setDirty(false);
}

bool CAnimKnob::isDirty() const {
  if (!dirty) {
    CPos p;
    handlePointForValue(p);
    if (p == lastDrawnPoint) return false;
  }
  return CKnob::isDirty();
}

bool CAnimKnob::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CAnimKnob") == 0 || CKnob::isTypeOf(className));
}

CView* CAnimKnob::clone() const {
  return new CAnimKnob(*this);
}

}  // namespace VSTGUI
