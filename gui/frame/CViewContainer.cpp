// The container's tree side: the child list, drawing with clipping and the off-screen
// buffer, autosizing, attach/detach and copies. Events are in CViewContainerEvents.cpp.
#include "gui/frame/CViewContainer.h"

#include <cstring>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/COffscreenContext.h"

namespace VSTGUI {

CViewContainer::Node* CViewContainer::newNode(CView* view) {
  view->retain();
  return new Node{view, nullptr, nullptr};
}

void CViewContainer::deleteNode(Node* node) {
  node->view->release();
  delete node;
}

bool CViewContainer::isFrame() const {
  return parentFrame && static_cast<const CView*>(parentFrame) == this;
}

CPos& CViewContainer::makeLocal(CPos& point) const {
  return point.offset(-bounds.left, -bounds.top);
}

void CViewContainer::createOffscreen() {
  if (offscreen) return;
  offscreen = new COffscreenContext(parentFrame, bounds.getWidth(), bounds.getHeight(), kBlackCColor);
}

void CViewContainer::releaseOffscreen() {
  if (offscreen) offscreen->release();
  offscreen = nullptr;
}

int32_t CViewContainer::handleMessage(CBaseObject*, const char* message) {
  return message == kMsgCheckIfViewContainer ? 1 : 0;
}

void CViewContainer::draw(CDrawContext* context) {
  drawArea(context, bounds);
}

void CViewContainer::drawArea(CDrawContext* context, const CArea& updateArea) {
  if (!context) return;
  if (useOffscreen && !offscreen) createOffscreen();
  CDrawContext* target = (useOffscreen && offscreen) ? static_cast<CDrawContext*>(offscreen) : context;
  const CPos savedOffset = context->getOffset();
  const CPos savedScreenOffset = context->getScreenOffset();
  if (target == context) {
    context->setOffset(CPos(savedOffset.x + bounds.left, savedOffset.y + bounds.top));
    context->setScreenOffset(CPos(savedScreenOffset.x + bounds.left, savedScreenOffset.y + bounds.top));
  }

  const CArea client = intersection(updateArea, bounds);
  CArea local = client;
  local.offset(-bounds.left, -bounds.top);

  // The clip keeps device coordinates; in the drawing coordinates now in force it reads as
  // the container's local space when drawing directly.
  CArea oldClip;
  context->getClipRect(oldClip);
  CArea limit = oldClip;
  if (target != context && !isFrame()) limit = CArea(0, 0, oldClip.getWidth(), oldClip.getHeight());

  const CArea newClip = intersection(local, limit);
  target->setClipRect(newClip);
  drawBackgroundRect(target, local);

  for (Node* n = firstNode; n; n = n->next) {
    CView* child = n->view;
    if (!childNeedsDraw(child, local)) continue;
    const CArea area = intersection(child->getBounds(), newClip);
    if (area.right != area.left && area.bottom != area.top) {
      target->setClipRect(area);
      child->drawArea(target, local);
    }
  }

  if (target != context) {
    target->setClipRect(limit);
    offscreen->copyFrom(context, client, CPos(local.left, local.top));
  } else {
    context->setClipRect(oldClip);
    context->setOffset(savedOffset);
    context->setScreenOffset(savedScreenOffset);
  }
  setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CArea& area) {
  if (!context) return;
  if (background) {
    CArea oldClip;
    context->getClipRect(oldClip);
    context->setClipRect(intersection(area, oldClip));
    // Only the part to be redrawn: the clip alone still has the whole picture processed.
    const CArea part = intersection(area, CArea(0, 0, background->getWidth(), background->getHeight()));
    const CPos source(backgroundOffset.x + part.left, backgroundOffset.y + part.top);
    if (transparency)
      background->drawTransparent(context, part, source);
    else
      background->draw(context, part, source);
    context->setClipRect(oldClip);
  } else if (!(transparency && backgroundColor.alpha == 255)) {
    context->setFillColor(backgroundColor);
    context->setFrameColor(backgroundColor);
    context->drawRect(CArea(0, 0, bounds.getWidth(), bounds.getHeight()), kDrawFilledAndStroked);
  }
}

bool CViewContainer::isDirty() const {
  if (dirty) return true;
  const CArea own(0, 0, bounds.getWidth(), bounds.getHeight());
  for (Node* n = firstNode; n; n = n->next)
    if (n->view->isDirty() && !intersection(n->view->getBounds(), own).isEmpty()) return true;
  return false;
}

void CViewContainer::invalidateRect(const CArea& area) {
  if (!visible) return;
  CArea shifted = area;
  shifted.offset(bounds.left, bounds.top);
  shifted.intersect(bounds);
  if (shifted.isEmpty()) return;
  if (parentView)
    parentView->invalidateRect(shifted);
  else if (parentFrame && !isFrame())
    parentFrame->invalidateRect(shifted);
}

void CViewContainer::invalidate() {
  if (!visible) return;
  if (parentView)
    parentView->invalidateRect(bounds);
  else if (parentFrame && !isFrame())
    parentFrame->invalidateRect(bounds);
}

void CViewContainer::setBounds(const CArea& area, bool invalidateToo) {
  if (area == bounds) return;
  const CArea old = bounds;
  CView::setBounds(area, invalidateToo);
  const int32_t dw = area.getWidth() - old.getWidth();
  const int32_t dh = area.getHeight() - old.getHeight();
  if (dw != 0 || dh != 0) {
    const int32_t n = getChildCount();
    const bool columnMode = (autosizeFlags & kAutosizeColumn) != 0;
    const bool rowMode = (autosizeFlags & kAutosizeRow) != 0;
    int32_t i = 0;
    for (Node* node = firstNode; node; node = node->next, ++i) {
      CView* child = node->view;
      const uint32_t flags = child->getAutosizeFlags();
      CArea b = child->getBounds();
      CArea h = child->getHitArea();
      auto moveX = [&](int32_t dl, int32_t dr) {
        b.left += dl;
        h.left += dl;
        b.right += dr;
        h.right += dr;
      };
      auto moveY = [&](int32_t dt, int32_t db) {
        b.top += dt;
        h.top += dt;
        b.bottom += db;
        h.bottom += db;
      };
      if (columnMode) {
        const int32_t share = dw / n;
        if (i > 0) moveX(share * i, share * i);
        moveX(0, share);
      } else if (dw != 0 && (flags & kAutosizeRight)) {
        moveX((flags & kAutosizeLeft) ? 0 : dw, dw);
      }
      if (rowMode) {
        const int32_t share = dh / n;
        if (i > 0) moveY(share * i, share * i);
        moveY(0, share);
      } else if (dh != 0 && (flags & kAutosizeBottom)) {
        moveY((flags & kAutosizeTop) ? 0 : dh, dh);
      }
      if (b != child->getBounds()) {
        child->setBounds(b, true);
        child->setHitArea(h);
      }
    }
  }
  parentSizeChanged();
  if (offscreen && useOffscreen) {
    releaseOffscreen();
    createOffscreen();
  }
}

void CViewContainer::parentSizeChanged() {
  for (Node* n = firstNode; n; n = n->next) n->view->parentSizeChanged();
}

CPos& CViewContainer::frameToLocal(CPos& point) const {
  point.offset(-bounds.left, -bounds.top);
  if (parentView && parentView->isTypeOf("CViewContainer")) return parentView->frameToLocal(point);
  return point;
}

CPos& CViewContainer::localToFrame(CPos& point) const {
  point.offset(bounds.left, bounds.top);
  if (parentView && parentView->isTypeOf("CViewContainer")) return parentView->localToFrame(point);
  return point;
}

bool CViewContainer::attach(CView* parent) {
  if (attached || !parent) return false;
  if (useOffscreen && !offscreen) createOffscreen();
  parentFrame = parent->getParentFrame();
  for (Node* n = firstNode; n; n = n->next) n->view->attach(this);
  return CView::attach(parent);
}

bool CViewContainer::detach(CView* parent) {
  if (!attached) return false;
  releaseOffscreen();
  parentFrame = nullptr;
  for (Node* n = firstNode; n; n = n->next) n->view->detach(this);
  return CView::detach(parent);
}

bool CViewContainer::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CViewContainer") == 0 || CView::isTypeOf(className));
}

CView* CViewContainer::clone() const {
  return new CViewContainer(*this);
}

bool CViewContainer::addView(CView* view) {
  if (!view || view->isAttached()) return false;
  Node* node = newNode(view);
  node->previous = lastNode;
  if (lastNode)
    lastNode->next = node;
  else
    firstNode = node;
  lastNode = node;
  if (attached) {
    view->attach(this);
    view->invalidate();
  }
  return true;
}

bool CViewContainer::addViewBefore(CView* view, CView* before) {
  if (!view || view->isAttached()) return false;
  Node* node = newNode(view);
  if (!firstNode) {
    firstNode = lastNode = node;
  } else {
    Node* stop = firstNode;
    while (stop->next && stop->view != before) stop = stop->next;
    node->next = stop;
    node->previous = stop->previous;
    if (stop->previous)
      stop->previous->next = node;
    else
      firstNode = node;
    stop->previous = node;
  }
  if (attached) {
    view->attach(this);
    view->invalidate();
  }
  return true;
}

bool CViewContainer::addViewWithHitArea(CView* view, const CArea& area, bool enabled) {
  if (!addView(view)) return false;
  view->setMouseEnabled(enabled);
  view->setHitArea(area);
  return true;
}

bool CViewContainer::removeView(CView* view, bool releaseToo) {
  Node* node = firstNode;
  while (node && node->view != view) node = node->next;
  if (!node || !view) return false;
  view->invalidate();
  if (parentFrame) parentFrame->onViewRemoved(view);
  if (mouseDownView == view) mouseDownView = nullptr;
  if (dropTargetView == view) dropTargetView = nullptr;
  if (attached) view->detach(this);
  if (node->previous)
    node->previous->next = node->next;
  else
    firstNode = node->next;
  if (node->next)
    node->next->previous = node->previous;
  else
    lastNode = node->previous;
  if (releaseToo) view->release();
  deleteNode(node);
  return true;
}

bool CViewContainer::removeAllViews(bool releaseToo) {
  Node* node = firstNode;
  firstNode = lastNode = nullptr;
  mouseDownView = nullptr;
  dropTargetView = nullptr;
  while (node) {
    Node* next = node->next;
    CView* view = node->view;
    if (parentFrame && !isFrame()) parentFrame->onViewRemoved(view);
    if (attached) view->detach(this);
    if (releaseToo) view->release();
    deleteNode(node);
    node = next;
  }
  return true;
}

bool CViewContainer::isChild(CView* view) const {
  for (Node* n = firstNode; n; n = n->next)
    if (n->view == view) return true;
  return false;
}

int32_t CViewContainer::getChildCount() const {
  int32_t count = 0;
  for (Node* n = firstNode; n; n = n->next) ++count;
  return count;
}

CView* CViewContainer::getChild(int32_t index) const {
  if (index < 0) return nullptr;
  for (Node* n = firstNode; n; n = n->next)
    if (index-- == 0) return n->view;
  return nullptr;
}

void CViewContainer::setBackgroundColor(const CRgbaColor& color) {
  backgroundColor = color;
  setDirty(true);
}

CRgbaColor CViewContainer::getBackgroundColor() const {
  return backgroundColor;
}

void CViewContainer::setBackgroundOffset(CPos p) {
  backgroundOffset = p;
}

const CPos& CViewContainer::getBackgroundOffset() const {
  return backgroundOffset;
}

void CViewContainer::setUseOffscreen(bool use) {
  useOffscreen = use;
  if (!use) releaseOffscreen();
}

bool CViewContainer::invalidateDirtyViews() {
  if (!visible) return true;
  if (dirty) {
    if (parentView)
      parentView->invalidateRect(bounds);
    else if (parentFrame)
      parentFrame->invalidateRect(bounds);
    return true;
  }
  for (Node* n = firstNode; n; n = n->next) {
    CView* child = n->view;
    if (!child->isDirty() || !child->isVisible()) continue;
    if (child->isTypeOf("CViewContainer"))
      static_cast<CViewContainer*>(child)->invalidateDirtyViews();
    else
      child->invalidate();
  }
  return true;
}

CArea& CViewContainer::getVisibleBoundsOf(CArea& out, const CArea& area) {
  CArea result = area;
  result.offset(bounds.left, bounds.top);
  result.intersect(bounds);
  if (!isFrame()) {
    const CArea request = result;
    if (parentView && parentView->isTypeOf("CViewContainer"))
      static_cast<CViewContainer*>(parentView)->getVisibleBoundsOf(result, request);
    else if (parentFrame)
      parentFrame->getVisibleBoundsOf(result, request);
  }
  result.offset(-bounds.left, -bounds.top);
  out = result;
  return out;
}

bool CViewContainer::childNeedsDraw(CView* child, const CArea& area) const {
  return child->overlaps(area) && child->isVisible();
}

}  // namespace VSTGUI
