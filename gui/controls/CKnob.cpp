#include "gui/controls/CKnob.h"

#include <cmath>
#include <cstring>

#include "gui/controls/FloatToInt.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"

namespace VSTGUI {

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kDefaultStartAngle = 3.9269907f;  // 5π/4: the minimum at the lower left
constexpr float kDefaultSweepAngle = -4.712389f;  // 3π/2 clockwise over the top
constexpr float kDefaultDragLength = 200.0f;      // pixels for the whole range

// VST 2.4 virtual key codes of the arrow keys and the shift bit of the key modifier.
constexpr unsigned char kVirtualKeyLeft = 11;
constexpr unsigned char kVirtualKeyUp = 12;
constexpr unsigned char kVirtualKeyRight = 13;
constexpr unsigned char kVirtualKeyDown = 14;

int32_t insetForHandle(const CBitmap* image) {
  return image ? static_cast<int32_t>(static_cast<float>(image->getWidth()) * 0.5f + 2.5f) : 3;
}

}  // namespace

CKnob::CKnob(const CArea& area, CControlListener* knobListener, int32_t knobTag, CBitmap* backgroundBitmap,
             CBitmap* handle, CPos offset)
    : CControl(area, knobListener, knobTag, backgroundBitmap),
      drawingOffset(offset),
      handleImage(handle),
      inset(insetForHandle(handle)),
      radius(static_cast<float>(area.right - area.left) * 0.5f) {
  if (handleImage) handleImage->retain();
  setWantsFocus(true);
  setStartAngle(kDefaultStartAngle);
  setSweepAngle(kDefaultSweepAngle);
}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      drawingOffset(other.drawingOffset),
      handleColor(other.handleColor),
      handleShadowColor(other.handleShadowColor),
      handleImage(other.handleImage),
      inset(other.inset),
      startAngle(other.startAngle),
      sweepAngle(other.sweepAngle),
      halfGap(other.halfGap),
      aCoef(other.aCoef),
      bCoef(other.bCoef),
      radius(other.radius),
      fineDragFactor(other.fineDragFactor) {
  if (handleImage) handleImage->retain();
}

CKnob::~CKnob() {
  if (handleImage) handleImage->release();
  handleImage = nullptr;
}

void CKnob::computeCoefficients() {
  halfGap = (kTwoPi - std::fabs(sweepAngle)) * 0.5f;
  aCoef = (maxValue - minValue) / sweepAngle;
  bCoef = minValue - aCoef * startAngle;
}

void CKnob::setStartAngle(float angle) {
  startAngle = angle;
  computeCoefficients();
  setDirty(true);
}
float CKnob::getStartAngle() const {
  return startAngle;
}
void CKnob::setSweepAngle(float angle) {
  sweepAngle = angle;
  computeCoefficients();
  setDirty(true);
}
float CKnob::getSweepAngle() const {
  return sweepAngle;
}

void CKnob::setMin(float newMin) {
  CControl::setMin(newMin);
  computeCoefficients();
}
void CKnob::setMax(float newMax) {
  CControl::setMax(newMax);
  computeCoefficients();
}
void CKnob::setBounds(const CArea& area, bool invalidateToo) {
  CControl::setBounds(area, invalidateToo);
  radius = static_cast<float>(area.right - area.left) * 0.5f;
}

void CKnob::handlePointForValue(CPos& out) const {
  float angle = (value - bCoef) / aCoef;
  // A value or range that is not a number must not reach the integer conversion as one.
  if (!std::isfinite(angle)) angle = startAngle;
  const float reach = radius - static_cast<float>(inset);
  out.x = truncateToInt(std::cos(angle) * reach + radius + 0.5f);
  out.y = truncateToInt(radius - std::sin(angle) * reach + 0.5f);
}

float CKnob::valueAtPoint(CPos p) const {
  float alpha = std::atan2(radius - static_cast<float>(p.y), static_cast<float>(p.x) - radius);
  if (alpha < 0.0f) alpha += kTwoPi;
  alpha -= startAngle;
  auto normalised = [](float a) {
    if (a < 0.0f) return a + kTwoPi;
    if (a > kTwoPi) return a - kTwoPi;
    return a;
  };
  if (sweepAngle < 0.0f) {
    alpha -= sweepAngle;
    const float alpha3 = normalised(alpha);
    if (alpha3 > halfGap - sweepAngle) return maxValue;  // right half of the dead zone
    if (alpha3 > -sweepAngle) return minValue;           // left half
    if (alpha > halfGap - sweepAngle)
      alpha -= kTwoPi;
    else if (alpha < -halfGap)
      alpha += kTwoPi;
    return maxValue + aCoef * alpha;
  }
  const float alpha3 = normalised(alpha);
  if (alpha3 > halfGap + sweepAngle) return minValue;
  if (alpha3 > sweepAngle) return maxValue;
  if (alpha > halfGap + sweepAngle)
    alpha -= kTwoPi;
  else if (alpha < -halfGap)
    alpha += kTwoPi;
  return minValue + aCoef * alpha;
}

int32_t CKnob::getInset() const {
  return inset;
}
void CKnob::setInset(int32_t newInset) {
  inset = newInset;
}
CRgbaColor CKnob::getHandleShadowColor() const {
  return handleShadowColor;
}
void CKnob::setHandleShadowColor(const CRgbaColor& color) {
  handleShadowColor = color;
  setDirty(true);
}
CRgbaColor CKnob::getHandleColor() const {
  return handleColor;
}
void CKnob::setHandleColor(const CRgbaColor& color) {
  handleColor = color;
  setDirty(true);
}
CBitmap* CKnob::getHandleImage() const {
  return handleImage;
}
void CKnob::setHandleImage(CBitmap* image) {
  if (image) image->retain();
  if (handleImage) handleImage->release();
  handleImage = image;
  inset = insetForHandle(image);
}
void CKnob::setFineDragFactor(float factor) {
  fineDragFactor = factor;
}
float CKnob::getFineDragFactor() const {
  return fineDragFactor;
}

void CKnob::draw(CDrawContext* context) {
  if (background) {
    if (transparency)
      background->drawTransparent(context, bounds, drawingOffset);
    else
      background->draw(context, bounds, drawingOffset);
  }
  drawHandle(context);
  setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
  if (!context) return;
  CPos p;
  handlePointForValue(p);
  if (handleImage) {
    const int32_t w = handleImage->getWidth();
    const int32_t h = handleImage->getHeight();
    const int32_t left = bounds.left + p.x - w / 2;
    const int32_t top = bounds.top + p.y - h / 2;
    handleImage->drawTransparent(context, CArea(left, top, left + w, top + h), CPos());
    return;
  }
  const CPos m(bounds.left + (bounds.right - bounds.left) / 2 - 1,
               bounds.top + (bounds.bottom - bounds.top) / 2);
  context->setFrameColor(handleShadowColor);
  context->moveTo(CPos(bounds.left + p.x - 1, bounds.top + p.y));
  context->lineTo(m);
  context->setFrameColor(handleColor);
  context->moveTo(CPos(bounds.left + p.x, bounds.top + p.y - 1));
  context->lineTo(CPos(m.x + 1, m.y - 1));
}

CMouseEventResult CKnob::onMouseDown(CPos where, CButtonState buttons) {
  beginEdit();
  if (resetOnControlClick(buttons)) {
    endEdit();
    return kMouseHandledNoTracking;
  }
  firstPoint = where;
  lastPoint = CPos(-1, -1);
  startValue = drawnValue;
  entryValue = value;
  dragLength = kDefaultDragLength;
  coefficient = (maxValue - minValue) / dragLength;
  oldButtons = buttons;
  linearMode = false;

  const int32_t knobMode = parentFrame ? parentFrame->getKnobMode() : kKnobModeCircular;
  const bool alt = (buttons & kModAlt) != 0;
  bool linear = knobMode == kKnobModeLinear ? !alt : alt;
  if (!(buttons & kButtonLeft)) linear = false;

  if (linear) {
    if (buttons & kModShift) dragLength = fineDragFactor * dragLength;
    linearMode = true;
    lastPoint = where;
    coefficient = (maxValue - minValue) / dragLength;
  } else {
    startValue = valueAtPoint(CPos(where.x - bounds.left, where.y - bounds.top));
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(CPos where, CButtonState buttons) {
  if (!(buttons & kButtonLeft)) return kMouseHandled;
  if (where == lastPoint) return kMouseHandled;
  lastPoint = where;
  if (linearMode) {
    // Right and up increase the value.
    const float diff = static_cast<float>((where.x - firstPoint.x) + (firstPoint.y - where.y));
    if (buttons != oldButtons) {
      // Shift went down or up mid-drag: rebase the entry value so that the value at this
      // point is unchanged under the new rate, and the knob does not jump.
      dragLength = (buttons & kModShift) ? fineDragFactor * kDefaultDragLength : kDefaultDragLength;
      const float newCoefficient = (maxValue - minValue) / dragLength;
      entryValue = (coefficient - newCoefficient) * diff + entryValue;
      coefficient = newCoefficient;
      oldButtons = buttons;
    }
    value = diff * coefficient + entryValue;
    clampValue();
  } else {
    const float v = valueAtPoint(CPos(where.x - bounds.left, where.y - bounds.top));
    value = v;
    // A jump of more than half the range means the pointer crossed the dead zone: stay at
    // the end it came from.
    const float half = (maxValue - minValue) * 0.5f;
    if (startValue - v > half)
      value = maxValue;
    else if (v - startValue > half)
      value = minValue;
    else
      startValue = v;
  }
  if (value != drawnValue && listener) listener->valueChanged(this);
  if (isDirty()) invalidate();
  return kMouseHandled;
}

CMouseEventResult CKnob::onMouseUp(CPos, CButtonState) {
  endEdit();
  return kMouseHandled;
}

bool CKnob::onWheel(CPos, float distance, CButtonState buttons) {
  if (!mouseEnabled) return false;
  if (buttons & kModShift)
    value += distance * 0.1f * wheelStep;
  else
    value += distance * wheelStep;
  clampValue();
  if (isDirty() && listener) {
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
  return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& key) {
  float step;
  switch (key.virt) {
    case kVirtualKeyLeft:
    case kVirtualKeyDown:
      step = -1.0f;
      break;
    case kVirtualKeyUp:
    case kVirtualKeyRight:
      step = 1.0f;
      break;
    default:
      return -1;
  }
  if (key.modifier & kKeyModifierShift) step *= 0.1f;
  value += step * wheelStep;
  clampValue();
  if (isDirty() && listener) {
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
  return 1;
}

bool CKnob::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CKnob") == 0 || CControl::isTypeOf(className));
}

CView* CKnob::clone() const {
  return new CKnob(*this);
}

// The view tree falls back to this only when onMouseDown answers kMouseFallback, which the
// knob never does: all of its mouse handling is event driven.
void CKnob::trackMouse(CDrawContext*, CPos, CButtonState) {}

}  // namespace VSTGUI
