// The container's event side: hit search, routing of mouse, wheel, key and drag events to
// the child under the pointer, and keyboard focus traversal. Window thread only.
#include <cstring>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/CViewContainer.h"

namespace VSTGUI {

namespace {
CViewContainer::ModifierClickOffer modifierClickOffer = nullptr;
}

void CViewContainer::setModifierClickOffer(ModifierClickOffer offer) {
  modifierClickOffer = offer;
}

CViewContainer::CViewContainer(const CArea& area, CFrame* frame, CBitmap* backgroundBitmap) : CView(area) {
  parentFrame = frame;
  setBackground(backgroundBitmap);
  backgroundColor = kBlackCColor;
}

CViewContainer::CViewContainer(const CViewContainer& other)
    : CView(other),
      backgroundColor(other.backgroundColor),
      backgroundOffset(other.backgroundOffset),
      useOffscreen(other.useOffscreen) {
  // Each copy keeps its creation reference, like every child added by a creator: the
  // teardown's removeAllViews(true) releases both.
  for (Node* n = other.firstNode; n; n = n->next) {
    CView* copy = n->view->clone();
    if (copy) addView(copy);
  }
}

CViewContainer::~CViewContainer() {
  removeAllViews(true);
  releaseOffscreen();
}

CMouseEventResult CViewContainer::onMouseDown(CPos where, CButtonState buttons) {
  makeLocal(where);
  for (Node* n = lastNode; n; n = n->previous) {
    CView* child = n->view;
    if (!child->isVisible() || !child->isMouseEnabled() || !child->hitTest(where, buttons)) continue;
    if ((buttons & 0xF8) && modifierClickOffer && child->isTypeOf("CControl") &&
        modifierClickOffer(child, buttons) != 0)
      return kMouseHandled;
    const CMouseEventResult result = child->onMouseDown(where, buttons);
    if (result == kMouseFallback) {
      if (parentFrame) {
        CDrawContext* context = parentFrame->getDrawContext();
        child->trackMouse(context, where, buttons);
        if (context) context->release();
      }
      return kMouseFallback;
    }
    if (result == kMouseHandled) mouseDownView = child;
    return result;
  }
  return kMouseIgnored;
}

CMouseEventResult CViewContainer::onMouseMoved(CPos where, CButtonState buttons) {
  if (!mouseDownView) return kMouseIgnored;
  makeLocal(where);
  if (mouseDownView->onMouseMoved(where, buttons) == kMouseHandled) return kMouseHandled;
  mouseDownView = nullptr;
  return kMouseIgnored;
}

CMouseEventResult CViewContainer::onMouseUp(CPos where, CButtonState buttons) {
  if (!mouseDownView) return kMouseIgnored;
  makeLocal(where);
  CView* child = mouseDownView;
  mouseDownView = nullptr;
  child->onMouseUp(where, buttons);
  return kMouseHandled;
}

bool CViewContainer::onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons) {
  CView* child = getViewAt(where, false);
  if (!child) return false;
  makeLocal(where);
  return child->onWheelAxis(where, axis, distance, buttons);
}

bool CViewContainer::onWheel(CPos where, float distance, CButtonState buttons) {
  return onWheelAxis(where, kWheelVertical, distance, buttons);
}

int32_t CViewContainer::onKeyDown(VstKeyCode& key) {
  for (Node* n = lastNode; n; n = n->previous) {
    const int32_t r = n->view->onKeyDown(key);
    if (r != -1) return r;
  }
  return -1;
}

int32_t CViewContainer::onKeyUp(VstKeyCode& key) {
  for (Node* n = lastNode; n; n = n->previous) {
    const int32_t r = n->view->onKeyUp(key);
    if (r != -1) return r;
  }
  return -1;
}

void CViewContainer::focusLost() {
  for (Node* n = firstNode; n; n = n->next) n->view->focusLost();
}

void CViewContainer::focusGained() {
  for (Node* n = firstNode; n; n = n->next) n->view->focusGained();
}

void CViewContainer::trackMouse(CDrawContext* context, CPos where, CButtonState buttons) {
  makeLocal(where);
  if (buttons == static_cast<CButtonState>(-1) && context && parentFrame)
    buttons = parentFrame->getCurrentButtons();
  for (Node* n = lastNode; n; n = n->previous) {
    CView* child = n->view;
    if (child->isMouseEnabled() && child->hitTest(where, buttons)) {
      child->trackMouse(context, where, buttons);
      return;
    }
  }
}

CView* CViewContainer::topChildAt(CPos local) const {
  for (Node* n = lastNode; n; n = n->previous) {
    CView* child = n->view;
    if (child && child->isVisible() && child->getHitArea().containsInclusive(local)) return child;
  }
  return nullptr;
}

CView* CViewContainer::getViewAt(CPos where, bool deep) const {
  if (!parentFrame || !visible) return nullptr;
  makeLocal(where);
  CView* child = topChildAt(where);
  if (child && deep && child->isTypeOf("CViewContainer"))
    return static_cast<CViewContainer*>(child)->getViewAt(where, true);
  return child;
}

CViewContainer* CViewContainer::getContainerAt(CPos where, bool deep) {
  if (!parentFrame) return nullptr;
  makeLocal(where);
  CView* child = topChildAt(where);
  if (child && deep && child->isTypeOf("CViewContainer"))
    return static_cast<CViewContainer*>(child)->getContainerAt(where, true);
  return this;
}

bool CViewContainer::advanceFocus(CView* oldFocus, bool reverse) {
  bool passed = oldFocus == nullptr;
  for (Node* n = reverse ? lastNode : firstNode; n; n = reverse ? n->previous : n->next) {
    CView* child = n->view;
    if (!passed) {
      if (child == oldFocus) passed = true;
      continue;
    }
    if (child->wantsFocus()) {
      if (parentFrame) parentFrame->setFocusView(child);
      child->focusGained();
      return true;
    }
    if (child->isTypeOf("CViewContainer") &&
        static_cast<CViewContainer*>(child)->advanceFocus(nullptr, reverse))
      return true;
  }
  return false;
}

CView* CViewContainer::getViewUnderMouse() {
  if (!parentFrame) return nullptr;
  CPos where;
  parentFrame->getCurrentMouseLocation(where);
  frameToLocal(where);
  for (Node* n = lastNode; n; n = n->previous)
    if (n->view->getHitArea().containsInclusive(where)) return n->view;
  return nullptr;
}

bool CViewContainer::hitTestChildren(CPos where, CButtonState buttons) {
  makeLocal(where);
  for (Node* n = lastNode; n; n = n->previous)
    if (n->view->isMouseEnabled() && n->view->hitTest(where, buttons)) return true;
  return false;
}

CView* CViewContainer::switchDropTarget(CDragContainer* drag, CPos local, bool enterNew) {
  CPos parentPoint = local;
  parentPoint.offset(bounds.left, bounds.top);
  CView* child = getViewAt(parentPoint, false);
  if (child != dropTargetView) {
    if (dropTargetView) dropTargetView->onDragLeave(drag, local);
    dropTargetView = child;
    if (child && enterNew) child->onDragEnter(drag, local);
  } else if (child && enterNew) {
    child->onDragMove(drag, local);
  }
  return child;
}

void CViewContainer::onDragEnter(CDragContainer* drag, CPos where) {
  if (!parentFrame) return;
  CView* child = getViewAt(where, false);
  makeLocal(where);
  if (dropTargetView) dropTargetView->onDragLeave(drag, where);
  dropTargetView = child;
  if (child) child->onDragEnter(drag, where);
}

void CViewContainer::onDragMove(CDragContainer* drag, CPos where) {
  if (!parentFrame) return;
  makeLocal(where);
  switchDropTarget(drag, where, true);
}

void CViewContainer::onDragLeave(CDragContainer* drag, CPos where) {
  if (!parentFrame) return;
  makeLocal(where);
  if (dropTargetView) dropTargetView->onDragLeave(drag, where);
  dropTargetView = nullptr;
}

bool CViewContainer::acceptsDrop(CDragContainer* drag, CPos where) {
  if (!parentFrame) return false;
  CView* child = getViewAt(where, false);
  makeLocal(where);
  return child && child->acceptsDrop(drag, where);
}

bool CViewContainer::onDrop(CDragContainer* drag, CPos where) {
  if (!parentFrame) return false;
  makeLocal(where);
  CView* child = switchDropTarget(drag, where, false);
  if (!child) return false;
  const bool accepted = child->onDrop(drag, where);
  child->onDragLeave(drag, where);
  dropTargetView = nullptr;
  return accepted;
}

}  // namespace VSTGUI
