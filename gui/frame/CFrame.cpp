// The platform-neutral part of the frame: routing, focus, modal view and painting order.
// The window itself lives in win32/CFrameWindow.cpp (headless/ for builds without one).
#include "gui/frame/CFrame.h"

#include <cstring>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/COffscreenContext.h"
#include "gui/frame/VSTGUIEditorInterface.h"

namespace VSTGUI {

namespace {
// Guards setFocusView against re-entry from the focus callbacks it makes.
bool focusChangeInProgress = false;
}  // namespace

CFrame::CFrame(const CArea& area, void* parent, VSTGUIEditorInterface* editorInterface, float windowScale)
    : CViewContainer(area, nullptr, nullptr),
      editor(editorInterface),
      parentWindow(parent),
      scale(windowScale > 0.0f ? windowScale : 1.0f) {
  attached = true;
  parentFrame = this;
  createWindow();
}

CFrame::~CFrame() {
  if (modalView) removeView(modalView, false);
  modalView = nullptr;
  setCursor(kCursorDefault);
  setDropActive(false);
  parentFrame = nullptr;
  removeAllViews(true);
  destroyWindow();
}

void CFrame::draw(CDrawContext* context) {
  drawArea(context, bounds);
}

void CFrame::drawArea(CDrawContext* context, const CArea& updateArea) {
  CDrawContext* used = context;
  if (used)
    used->retain();
  else
    used = getDrawContext();
  if (!used) return;
  CArea oldClip;
  used->getClipRect(oldClip);
  used->setClipRect(intersection(updateArea, oldClip));
  if (updateArea.getWidth() > 0 && updateArea.getHeight() > 0) CViewContainer::drawArea(used, updateArea);
  used->setClipRect(oldClip);
  used->release();
}

void CFrame::invalidate() {
  invalidateRect(bounds);
  dirty = false;
}

CMouseEventResult CFrame::onMouseDown(CPos where, CButtonState buttons) {
  mouseDownView = nullptr;
  if (focusView) setFocusView(nullptr);
  if (mouseOverView) {
    CView* exited = mouseOverView;
    mouseOverView = nullptr;
    exited->onMouseExited(where, buttons);
  }
  if (modalView) {
    if (!modalView->hitTest(where, buttons)) return kMouseIgnored;
    const CMouseEventResult result = modalView->onMouseDown(where, buttons);
    if (result == kMouseHandled) {
      mouseDownView = modalView;
      return kMouseHandled;
    }
    if (result == kMouseFallback) {
      CDrawContext* context = getDrawContext();
      modalView->trackMouse(context, where, buttons);
      if (context) context->release();
      return kMouseHandled;
    }
    return kMouseIgnored;
  }
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPos where, CButtonState buttons) {
  return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPos where, CButtonState buttons) {
  armLeaveTracking();
  if (modalView) return modalView->onMouseMoved(where, buttons);
  const CMouseEventResult result = CViewContainer::onMouseMoved(where, buttons);
  if (result != kMouseIgnored) return result;

  CView* view = getViewAt(where, true);
  if (view == mouseOverView) {
    if (!mouseOverView) return kMouseIgnored;
    CPos local = where;
    mouseOverView->frameToLocal(local);
    return mouseOverView->onMouseMoved(local, mouseDownView ? buttons : 0);
  }
  leaveMouseOverView(where, buttons);
  if (!view) return kMouseHandled;
  CPos local = where;
  view->frameToLocal(local);
  view->onMouseEntered(local, buttons);
  mouseOverView = view;
  return kMouseHandled;
}

void CFrame::leaveMouseOverView(CPos where, CButtonState buttons) {
  if (!mouseOverView) return;
  CView* exited = mouseOverView;
  mouseOverView = nullptr;
  CPos local = where;
  exited->frameToLocal(local);
  exited->onMouseExited(local, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPos where, CButtonState buttons) {
  leaveMouseOverView(where, buttons);
  mouseTrackingArmed = false;
  return kMouseHandled;
}

bool CFrame::onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons) {
  if (mouseDownView) return false;
  CView* view = modalView ? modalView : getViewAt(where, false);
  return view ? view->onWheelAxis(where, axis, distance, buttons) : false;
}

int32_t CFrame::onKeyDown(VstKeyCode& key) {
  int32_t result = -1;
  if (focusView) result = focusView->onKeyDown(key);
  if (result == -1 && modalView) result = modalView->onKeyDown(key);
  if (result != -1) return result;
  if (key.virt == kVirtualKeyTab)
    return advanceFocus(focusView, (key.modifier & kKeyModifierShift) != 0) ? 1 : -1;
  return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& key) {
  int32_t result = -1;
  if (focusView) result = focusView->onKeyUp(key);
  if (result == -1 && modalView) result = modalView->onKeyUp(key);
  return result;
}

void CFrame::setBounds(const CArea& area, bool invalidateToo) {
  CViewContainer::setBounds(area, invalidateToo);
}

VSTGUIEditorInterface* CFrame::getEditor() const {
  return editor;
}

bool CFrame::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CFrame") == 0 || CViewContainer::isTypeOf(className));
}

void CFrame::trackMouse(CDrawContext* context, CPos where, CButtonState buttons) {
  if (focusView) setFocusView(nullptr);
  if (buttons == static_cast<CButtonState>(-1) && context) buttons = getCurrentButtons();
  if (modalView) {
    if (modalView->hitTest(where, buttons)) modalView->trackMouse(context, where, buttons);
    return;
  }
  CViewContainer::trackMouse(context, where, buttons);
}

bool CFrame::removeView(CView* view, bool releaseToo) {
  if (modalView && modalView == view) modalView = nullptr;
  return CViewContainer::removeView(view, releaseToo);
}

bool CFrame::removeAllViews(bool releaseToo) {
  modalView = nullptr;
  focusView = nullptr;
  mouseOverView = nullptr;
  return CViewContainer::removeAllViews(releaseToo);
}

bool CFrame::advanceFocus(CView* oldFocus, bool reverse) {
  if (modalView) {
    if (modalView->isTypeOf("CViewContainer"))
      return static_cast<CViewContainer*>(modalView)->advanceFocus(oldFocus, reverse);
    if (oldFocus == modalView) return false;
    setFocusView(modalView);
    return true;
  }
  if (!oldFocus) {
    oldFocus = focusView;
    if (!oldFocus) return CViewContainer::advanceFocus(nullptr, reverse);
  }
  if (isChild(oldFocus)) {
    if (CViewContainer::advanceFocus(oldFocus, reverse)) return true;
    setFocusView(nullptr);
    return false;
  }
  // The old focus sits deeper: let each enclosing container continue after it, nearest
  // first; the frame finally continues after its own direct child.
  CView* current = oldFocus;
  CView* parent = current->getParentView();
  while (parent && parent->isTypeOf("CViewContainer")) {
    if (parent == this) return advanceFocus(current, reverse);
    if (static_cast<CViewContainer*>(parent)->advanceFocus(current, reverse)) return true;
    current = parent;
    parent = current->getParentView();
  }
  return false;
}

CView* CFrame::getViewUnderMouse() {
  return modalView ? modalView : CViewContainer::getViewUnderMouse();
}

bool CFrame::isOpen() const {
  return open;
}

void CFrame::idle() {
  if (open) invalidateDirtyViews();
}

void CFrame::runEditorIdle() {
  if (editor) editor->idleWithHost();
}

int32_t CFrame::getKnobMode() const {
  return editor ? editor->getKnobMode() : 0;
}

bool CFrame::setPosition(int32_t, int32_t) {
  return false;
}

bool CFrame::getSize(CArea* out) const {
  return out ? getSize(*out) : false;
}

bool CFrame::setModalView(CView* view) {
  if (view && (modalView || view->isAttached())) return false;
  if (modalView) removeView(modalView, false);
  modalView = view;
  if (view) return addView(view);
  return true;
}

CView* CFrame::getModalView() const {
  return modalView;
}

void CFrame::beginEdit(int32_t tag) {
  if (editor) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
  if (editor) editor->endEdit(tag);
}

void CFrame::setFocusView(CView* view) {
  if (view == focusView || focusChangeInProgress) return;
  focusChangeInProgress = true;
  CView* old = focusView;
  focusView = view;
  if (view && view->wantsFocus()) {
    view->setDirty(true);
    for (CView* p = view->getParentView(); p && p != this; p = p->getParentView())
      p->handleMessage(view, kMsgNewFocusView);
  }
  if (old) {
    if (old->wantsFocus()) {
      old->setDirty(true);
      for (CView* p = old->getParentView(); p && p != this; p = p->getParentView())
        p->handleMessage(old, kMsgOldFocusView);
    }
    old->focusLost();
  }
  focusChangeInProgress = false;
}

CView* CFrame::getFocusView() const {
  return focusView;
}

void CFrame::onViewRemoved(CView* view) {
  if (mouseOverView == view) mouseOverView = nullptr;
  if (focusView == view) focusView = nullptr;
}

bool CFrame::isDropActive() const {
  return dropActive;
}
void CFrame::setOpen(bool value) {
  open = value;
}
bool CFrame::getOpenFlag() const {
  return open;
}

void CFrame::markDirtyIn(const CArea& area) {
  for (Node* n = firstNode; n; n = n->next)
    if (n->view->overlaps(area)) n->view->setDirty(true);
}

bool CFrame::getPointerLocation(CPos& out) const {
  return getCurrentMouseLocation(out);
}

CDrawContext* CFrame::getDrawContext() {
  auto* context = new CDrawContext(this, nullptr, window);
  context->setScale(scale);
  return context;
}

// Down to the unit that holds the pixel, so a pixel on a view's last row is still the view's.
CPos CFrame::toViewUnits(CPos windowPixel) const {
  if (scale == 1.0f) return windowPixel;
  auto down = [this](int32_t v) {
    const float units = static_cast<float>(v) / scale;
    const auto whole = static_cast<int32_t>(units);
    return units < static_cast<float>(whole) ? whole - 1 : whole;
  };
  return CPos(down(windowPixel.x), down(windowPixel.y));
}

int32_t CFrame::getWindowWidth() const {
  return CDrawContext::deviceEdge(bounds.getWidth(), scale);
}

int32_t CFrame::getWindowHeight() const {
  return CDrawContext::deviceEdge(bounds.getHeight(), scale);
}

}  // namespace VSTGUI
