// The platform layer of builds without a window system (the native tree): no window, no
// graphics object, no images. The view tree's logic runs unchanged on top of it; every
// drawing primitive does nothing, exactly as a context without graphics does on Windows.
#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/COffscreenContext.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/GuiModule.h"

namespace VSTGUI {

// ---- module -------------------------------------------------------------------------------
void* getGuiModuleInstance() {
  return nullptr;
}

// ---- GDI+ start-up: only counted ---------------------------------------------------------
int32_t GDIPlusGlobals::startups = 0;
int32_t GDIPlusGlobals::shutdowns = 0;

GDIPlusGlobals::GDIPlusGlobals() {
  ++startups;
}
GDIPlusGlobals::~GDIPlusGlobals() {
  CFontDesc::freePredefinedPlatformFonts();
  ++shutdowns;
}

// ---- fonts ----------------------------------------------------------------------------------
void* CFontDesc::getPlatformFont() {
  return nullptr;
}
void CFontDesc::freePlatformFont() {
  platformFont = nullptr;
}

// ---- bitmaps: nothing to load from ----------------------------------------------------------
CBitmap::CBitmap(const CResourceRef& resource) : resourceRef(resource) {
  GDIPlusGlobals::acquireGdiPlus();
  loadFromResource(resource);
}

CBitmap::CBitmap(CFrame*, int32_t w, int32_t h) : width(w), height(h) {
  GDIPlusGlobals::acquireGdiPlus();
}

CBitmap::CBitmap(const CResourceRef& resource, int32_t w, int32_t h, DeferredLoad)
    : resourceRef(resource), width(w), height(h) {
  GDIPlusGlobals::acquireGdiPlus();
}

CBitmap* CBitmap::createPixels(int32_t w, int32_t h) {
  return new CBitmap(nullptr, w, h);
}

bool CBitmap::allocatePixels(int32_t, int32_t) {
  return false;
}

CBitmap::~CBitmap() {
  dispose();
  GDIPlusGlobals::releaseGdiPlus();
}

void CBitmap::draw(CDrawContext* context, const CArea& area, CPos offset) {
  drawAlphaBlend(context, area, offset, 255);
}
void CBitmap::drawTransparent(CDrawContext* context, const CArea& area, CPos offset) {
  draw(context, area, offset);
}
void CBitmap::drawAlphaBlend(CDrawContext*, const CArea&, CPos, uint8_t) {}

void CBitmap::dispose() {
  width = 0;
  height = 0;
  pixels = nullptr;
  opaque = false;
}

bool CBitmap::loadFromResource(const CResourceRef&) {
  dispose();
  return false;
}

bool CBitmap::loadFromPath(const void*) {
  dispose();
  return false;
}

void* CBitmap::getGdiplusBitmap() {
  return nullptr;
}
bool CBitmap::loadPng(const uint8_t*, uint32_t) {
  return false;
}

// ---- drawing contexts: no graphics, so every primitive is a no-op ---------------------------
CDrawContext::CDrawContext(CFrame* frameToUse, void* dc, void* windowToUse)
    : deviceContext(dc), window(windowToUse), frame(frameToUse) {
  clip = frame ? frame->getBounds() : CArea(0, 0, 1000, 1000);
  applyDefaults();
}

CDrawContext::~CDrawContext() {
  if (font) font->release();
}

void CDrawContext::initialise() {}

void CDrawContext::setScale(float newScale) {
  if (newScale > 0.0f) scale = newScale;
}
void CDrawContext::beginDevicePixels() {}
void CDrawContext::endDevicePixels() {}

void CDrawContext::setLineStyle(int32_t s) {
  lineStyle = s;
}
void CDrawContext::setLineWidth(int32_t w) {
  lineWidth = w;
}
void CDrawContext::setDrawMode(int32_t m) {
  drawMode = m;
}
void CDrawContext::setFrameColor(const CRgbaColor& c) {
  frameColor = c;
}
void CDrawContext::setFillColor(const CRgbaColor& c) {
  fillColor = c;
}
void CDrawContext::setFontColor(const CRgbaColor& c) {
  fontColor = c;
}

void CDrawContext::setClipRect(const CArea& area) {
  clip = area;
  clip.offset(offset.x, offset.y);
}

CArea& CDrawContext::getClipRect(CArea& out) const {
  out = clip;
  out.offset(-offset.x, -offset.y);
  return out;
}

void CDrawContext::moveTo(CPos p) {
  penPosition = CPos(p.x + offset.x, p.y + offset.y);
}
void CDrawContext::lineTo(CPos p) {
  penPosition = CPos(p.x + offset.x, p.y + offset.y);
}
void CDrawContext::drawRect(const CArea&, int32_t) {}
void CDrawContext::drawString(const char*, const CArea&, int32_t, bool) {}
void CDrawContext::drawTextAt(const char*, CPos, bool) {}
int32_t CDrawContext::getStringWidth(const char*) {
  return -1;
}
void CDrawContext::getPointerPosition(CPos& out) {
  out = CPos(-screenOffset.x, -screenOffset.y);
}

COffscreenContext::COffscreenContext(CFrame* frameToUse, int32_t w, int32_t h, const CRgbaColor& color)
    : CDrawContext(frameToUse, nullptr, nullptr), height(h), width(w), backgroundColor(color) {
  bitmap = new CBitmap(frameToUse, w, h);
  clip = CArea(w < 0 ? w : 0, h < 0 ? h : 0, w > 0 ? w : 0, h > 0 ? h : 0);
}

COffscreenContext::~COffscreenContext() {
  if (bitmap) bitmap->release();
}

void COffscreenContext::copyFrom(CDrawContext* destination, const CArea& area, CPos sourceOffset) {
  if (bitmap) bitmap->draw(destination, area, sourceOffset);
}

// ---- frame window: there is none ----------------------------------------------------------
void CFrame::createWindow() {
  GDIPlusGlobals::acquireGdiPlus();
}

void CFrame::destroyWindow() {
  if (backBuffer) backBuffer->release();
  backBuffer = nullptr;
  GDIPlusGlobals::releaseGdiPlus();
}

void CFrame::armLeaveTracking() {
  mouseTrackingArmed = true;
}
void CFrame::paint() {}
bool CFrame::insideWindowMessage() {
  return false;
}
intptr_t CFrame::handleWindowMessage(uint32_t, uintptr_t, intptr_t) {
  return 0;
}
void CFrame::invalidateRect(const CArea&) {}
uint32_t CFrame::getTicks() const {
  return 0;
}
bool CFrame::getPosition(int32_t&, int32_t&) const {
  return false;
}
bool CFrame::setSize(int32_t, int32_t) {
  return false;
}
bool CFrame::getSize(CArea&) const {
  return false;
}

bool CFrame::getCurrentMouseLocation(CPos& out) const {
  out = CPos();
  return true;
}

CButtonState CFrame::getCurrentButtons() const {
  return 0;
}
void CFrame::setCursor(int32_t) {}

bool CFrame::setDropActive(bool active) {
  if (!dropActive && !active) return true;
  return false;  // no window to register
}

}  // namespace VSTGUI
