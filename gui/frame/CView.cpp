#include "gui/frame/CView.h"
#include "gui/frame/LiveObjectCounts.h"

#include <cstdlib>
#include <cstring>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"

namespace VSTGUI {

CView::CView(const CArea& area) : bounds(area), hitArea(area) {
  countLive(kLiveViews, 1);
}

CView::CView(const CView& other)
    : CBaseObject(other),
      bounds(other.bounds),
      hitArea(other.hitArea),
      mouseEnabled(other.mouseEnabled),
      transparency(other.transparency),
      wantsFocusFlag(other.wantsFocusFlag),
      autosizeFlags(other.autosizeFlags),
      background(other.background) {
  countLive(kLiveViews, 1);
  if (background) background->retain();
  for (const Attribute* a = other.attributes; a; a = a->next) setAttribute(a->id, a->size, a->data);
}

CView::~CView() {
  countLive(kLiveViews, -1);
  if (background) background->release();
  background = nullptr;
  freeAttributes();
}

void CView::draw(CDrawContext* context) {
  if (background) {
    if (transparency)
      background->drawTransparent(context, bounds, CPos());
    else
      background->draw(context, bounds, CPos());
  }
  setDirty(false);
}

void CView::drawArea(CDrawContext* context, const CArea& /*updateArea*/) {
  draw(context);
}

bool CView::overlaps(const CArea& area) const {
  return area.right >= bounds.left && area.left <= bounds.right && area.bottom >= bounds.top &&
         area.top <= bounds.bottom;
}

bool CView::isDirty() const {
  return dirty;
}
void CView::setDirty(bool value) {
  dirty = value;
}

void CView::invalidateRect(const CArea& area) {
  if (!attached || !visible) return;
  if (parentView)
    parentView->invalidateRect(area);
  else if (parentFrame)
    parentFrame->invalidateRect(area);
}

void CView::invalidate() {
  setDirty(false);
  invalidateRect(bounds);
}

void CView::setVisible(bool value) {
  if (visible == value) return;
  visible = value;
  setDirty(true);
}

CMouseEventResult CView::onMouseDown(CPos, CButtonState) {
  return kMouseFallback;
}
CMouseEventResult CView::onMouseUp(CPos, CButtonState) {
  return kMouseFallback;
}
CMouseEventResult CView::onMouseMoved(CPos, CButtonState) {
  return kMouseFallback;
}
CMouseEventResult CView::onMouseEntered(CPos, CButtonState) {
  return kMouseFallback;
}
CMouseEventResult CView::onMouseExited(CPos, CButtonState) {
  return kMouseFallback;
}

bool CView::hitTest(CPos where, CButtonState) {
  return hitArea.containsInclusive(where);
}

bool CView::onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons) {
  return onWheel(where, axis == kWheelHorizontal ? -distance : distance, buttons);
}

bool CView::onWheel(CPos, float, CButtonState) {
  return false;
}

void CView::setMouseEnabled(bool enabled) {
  mouseEnabled = enabled;
}
bool CView::isMouseEnabled() const {
  return mouseEnabled;
}
void CView::setHitArea(const CArea& area) {
  hitArea = area;
}
const CArea& CView::getHitArea() const {
  return hitArea;
}
void CView::getHitArea(CArea& out) const {
  out = hitArea;
}

bool CView::acceptsDrop(CDragContainer*, CPos) {
  return false;
}
bool CView::onDrop(CDragContainer*, CPos) {
  return false;
}
void CView::onDragEnter(CDragContainer*, CPos) {}
void CView::onDragLeave(CDragContainer*, CPos) {}
void CView::onDragMove(CDragContainer*, CPos) {}

int32_t CView::onKeyDown(VstKeyCode&) {
  return -1;
}
int32_t CView::onKeyUp(VstKeyCode&) {
  return -1;
}

void CView::setBounds(const CArea& area, bool invalidateToo) {
  bounds = area;
  if (invalidateToo) setDirty(true);
}

const CArea& CView::getBounds() const {
  return bounds;
}
void CView::getBounds(CArea& out) const {
  out = bounds;
}

void CView::getVisibleBounds(CArea& out) {
  if (parentView && parentView->isTypeOf("CViewContainer"))
    static_cast<CViewContainer*>(parentView)->getVisibleBoundsOf(out, bounds);
  else if (parentFrame)
    parentFrame->getVisibleBoundsOf(out, bounds);
  else
    out = CArea();
}

void CView::parentSizeChanged() {}

CPos& CView::frameToLocal(CPos& point) const {
  if (parentView && parentView->isTypeOf("CViewContainer")) return parentView->frameToLocal(point);
  return point;
}

CPos& CView::localToFrame(CPos& point) const {
  if (parentView && parentView->isTypeOf("CViewContainer")) return parentView->localToFrame(point);
  return point;
}

void CView::setAutosizeFlags(uint32_t flags) {
  autosizeFlags = flags;
}
uint32_t CView::getAutosizeFlags() const {
  return autosizeFlags;
}

void CView::focusLost() {}
void CView::focusGained() {}
bool CView::wantsFocus() const {
  return wantsFocusFlag;
}
void CView::setWantsFocus(bool wants) {
  wantsFocusFlag = wants;
}

void CView::setBackground(CBitmap* bitmap) {
  // Retain first so that setting the same bitmap again cannot destroy it in between.
  if (bitmap) bitmap->retain();
  if (background) background->release();
  background = bitmap;
  setDirty(true);
}

CBitmap* CView::getBackground() const {
  return background;
}
void CView::setTransparency(bool value) {
  transparency = value;
}
bool CView::getTransparency() const {
  return transparency;
}

bool CView::detach(CView*) {
  if (!attached) return false;
  parentView = nullptr;
  parentFrame = nullptr;
  attached = false;
  return true;
}

bool CView::attach(CView* parent) {
  if (attached || !parent) return false;
  parentView = parent;
  parentFrame = parent->getParentFrame();
  attached = true;
  return true;
}

VSTGUIEditorInterface* CView::getEditor() const {
  return parentFrame ? parentFrame->getEditor() : nullptr;
}

bool CView::isTypeOf(const char* className) const {
  return className && std::strcmp(className, "CView") == 0;
}

CView* CView::clone() const {
  return new CView(*this);
}

void CView::trackMouse(CDrawContext*, CPos, CButtonState) {}

void CView::getMouseLocation(CDrawContext* context, CPos& point) {
  if (!context) return;
  if (parentView && parentView->handleMessage(this, kMsgCheckIfViewContainer) == 1) {
    const CPos savedOffset = context->getOffset();
    const CPos savedScreenOffset = context->getScreenOffset();
    const CArea& pb = parentView->getBounds();
    context->setOffset(CPos(savedOffset.x + pb.left, savedOffset.y + pb.top));
    context->setScreenOffset(CPos(savedScreenOffset.x + pb.left, savedScreenOffset.y + pb.top));
    parentView->getMouseLocation(context, point);
    context->setOffset(savedOffset);
    context->setScreenOffset(savedScreenOffset);
  } else {
    context->getPointerPosition(point);
  }
}

void CView::setParentView(CView* parent) {
  parentView = parent;
}
void CView::setParentFrame(CFrame* frameToUse) {
  parentFrame = frameToUse;
}

CPos& CView::toFrameCoordinates(CPos& point) const {
  point.offset(bounds.left, bounds.top);
  if (parentView && parentView->handleMessage(const_cast<CView*>(this), kMsgCheckIfViewContainer) == 1)
    parentView->toFrameCoordinates(point);
  return point;
}

CView::Attribute* CView::findAttribute(int32_t id) const {
  for (Attribute* a = attributes; a; a = a->next)
    if (a->id == id) return a;
  return nullptr;
}

bool CView::setAttribute(int32_t id, int32_t size, const void* data) {
  Attribute* entry = findAttribute(id);
  if (!entry) {
    entry = new Attribute;
    entry->id = id;
    Attribute** tail = &attributes;
    while (*tail) tail = &(*tail)->next;
    *tail = entry;
  }
  if (size <= 0 || !data) {
    std::free(entry->data);
    entry->data = nullptr;
    entry->size = 0;
    return true;
  }
  if (entry->size < size || !entry->data) {
    void* grown = std::realloc(entry->data, static_cast<size_t>(size));
    if (!grown) return false;
    entry->data = static_cast<unsigned char*>(grown);
  }
  std::memcpy(entry->data, data, static_cast<size_t>(size));
  entry->size = size;
  return true;
}

int32_t CView::getAttributeSize(int32_t id) const {
  const Attribute* a = findAttribute(id);
  return a ? a->size : -1;
}

bool CView::getAttribute(int32_t id, int32_t bufferSize, void* buffer, int32_t* outSize) const {
  const Attribute* a = findAttribute(id);
  if (!a || bufferSize < a->size || (a->size > 0 && !buffer)) return false;
  if (a->size > 0) std::memcpy(buffer, a->data, static_cast<size_t>(a->size));
  if (outSize) *outSize = a->size;
  return true;
}

bool CView::removeAttribute(int32_t id) {
  for (Attribute** link = &attributes; *link; link = &(*link)->next) {
    if ((*link)->id == id) {
      Attribute* gone = *link;
      *link = gone->next;
      std::free(gone->data);
      delete gone;
      return true;
    }
  }
  return false;
}

void CView::freeAttributes() {
  while (attributes) {
    Attribute* next = attributes->next;
    std::free(attributes->data);
    delete attributes;
    attributes = next;
  }
}

}  // namespace VSTGUI
