#include "gui/controls/CControl.h"

#include <algorithm>
#include <cstring>

#include "gui/controls/ControlsPlatform.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/CViewContainer.h"

namespace VSTGUI {

namespace {

// The container routing offers modified and right-button presses on a control to its
// listener first; the container cannot see CControl, so it calls back through this.
int32_t offerModifierClick(CView* view, CButtonState buttons) {
  auto* control = static_cast<CControl*>(view);
  CControlListener* listener = control->getListener();
  return listener ? listener->onModifierClick(control, buttons) : 0;
}

}  // namespace

CControl::CControl(const CArea& area, CControlListener* controlListener, int32_t controlTag,
                   CBitmap* backgroundBitmap)
    : CView(area), listener(controlListener), tag(controlTag) {
  // Installed here rather than by a static initialiser, which a static library may drop.
  CViewContainer::setModifierClickOffer(&offerModifierClick);
  doubleClickInterval = std::max<int32_t>(systemDoubleClickTime(), 250);
  mouseEnabled = true;
  transparency = false;
  // Stored directly: the virtual setBackground would also mark the control dirty and move
  // the drawn value off its initial 1.0.
  background = backgroundBitmap;
  if (background) background->retain();
}

CControl::CControl(const CControl& other)
    : CView(other),
      listener(other.listener),
      tag(other.tag),
      drawnValue(other.drawnValue),
      defaultValue(other.defaultValue),
      value(other.value),
      minValue(other.minValue),
      maxValue(other.maxValue),
      wheelStep(other.wheelStep),
      lastClickTime(other.lastClickTime),
      doubleClickInterval(other.doubleClickInterval) {}

bool CControl::isDirty() const {
  // != is also true when either side is not a number, so such a value always redraws.
  return value != drawnValue || CView::isDirty();
}

void CControl::setDirty(bool flag) {
  CView::setDirty(flag);
  if (flag)
    drawnValue = value == -1.0f ? 0.0f : -1.0f;
  else
    drawnValue = value;
}

bool CControl::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CControl") == 0 || CView::isTypeOf(className));
}

void CControl::runEditorIdle() {
  if (parentFrame) parentFrame->runEditorIdle();
}

void CControl::setValue(float newValue) {
  value = newValue;
}
float CControl::getValue() const {
  return value;
}
void CControl::setMin(float newMin) {
  minValue = newMin;
}
float CControl::getMin() const {
  return minValue;
}
void CControl::setMax(float newMax) {
  maxValue = newMax;
}
float CControl::getMax() const {
  return maxValue;
}
void CControl::setDrawnValue(float newValue) {
  drawnValue = newValue;
}
float CControl::getDrawnValue() const {
  return drawnValue;
}
void CControl::setDefaultValue(float newValue) {
  defaultValue = newValue;
}
float CControl::getDefaultValue() const {
  return defaultValue;
}

void CControl::clampValue() {
  if (value > maxValue)
    value = maxValue;
  else if (value < minValue)
    value = minValue;
}

bool CControl::resetOnControlClick(CButtonState buttons) {
  if (buttons != (kButtonLeft | kModControl)) return false;
  beginEdit();
  value = defaultValue;
  if (isDirty() && listener) listener->valueChanged(this);
  endEdit();
  return true;
}

void CControl::setTag(int32_t newTag) {
  tag = newTag;
}
int32_t CControl::getTag() const {
  return tag;
}

void CControl::beginEdit() {
  if (listener) listener->onBeginEdit(this);
  if (parentFrame) {
    parentFrame->setFocusView(this);
    parentFrame->beginEdit(tag);
  }
}

void CControl::endEdit() {
  if (parentFrame) parentFrame->endEdit(tag);
  if (listener) listener->onEndEdit(this);
}

CControlListener* CControl::getListener() const {
  return listener;
}
void CControl::setListener(CControlListener* newListener) {
  listener = newListener;
}
void CControl::setBackgroundOffset(CPos offset) {
  backgroundOffset = offset;
}
void CControl::useBoundsAsBackgroundOffset() {
  backgroundOffset = bounds.getTopLeft();
}
void CControl::setWheelStep(float step) {
  wheelStep = step;
}
float CControl::getWheelStep() const {
  return wheelStep;
}

}  // namespace VSTGUI
