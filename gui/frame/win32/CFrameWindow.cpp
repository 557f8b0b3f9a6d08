// The frame's native window: class registration, the child window in the host's window,
// the window procedure, painting, pointer capture and leave tracking, cursors, size and
// position, drop-target registration. Everything here runs on the window's thread, except the
// close, which a host may send from any thread: the window is then taken down on its own thread.
#include <windows.h>

#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/COffscreenContext.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/GuiModule.h"
#include "gui/frame/LiveObjectCounts.h"
#include "gui/frame/win32/CDropTarget.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

namespace {

// Window glue shared by all frames of the module.
wchar_t className[64] = {};
int32_t classRegistrations = 0;
bool buttonsSwapped = false;
OSVERSIONINFOEXW systemVersion = {};

// How many frame window messages the calling thread is inside (a pop-up menu, a file dialog or
// a drag loop runs other messages, and the host's idle, inside one).
thread_local int32_t windowMessageDepth = 0;

// Private to the frame's class: the window's own thread takes it down (DestroyWindow fails on
// any other thread, and a window left behind keeps a window procedure inside this module).
constexpr UINT kDestroyOnOwnThread = WM_USER + 1;
// How long a close from another thread waits for the window's thread to get to it.
constexpr UINT kOwnThreadWaitMs = 2000;

// On the window's thread: the drop registration, the window, and the OLE reference the thread
// took when it created the window.
void tearDownOnOwnThread(HWND hwnd) {
  RevokeDragDrop(hwnd);
  DestroyWindow(hwnd);
  OleUninitialize();
}

LRESULT CALLBACK frameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDestroyOnOwnThread) {
    tearDownOnOwnThread(hwnd);
    return 1;
  }
  auto* frame = reinterpret_cast<CFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!frame) return DefWindowProcW(hwnd, message, wParam, lParam);
  // Counted on the thread, not on the frame: a host may close the editor inside a modal loop
  // that a message started, and the frame is gone by the time that message returns.
  ++windowMessageDepth;
  const auto result = static_cast<LRESULT>(frame->handleWindowMessage(message, wParam, lParam));
  --windowMessageDepth;
  return result;
}

void registerWindowClass() {
  if (classRegistrations++ > 0) return;
  HINSTANCE instance = static_cast<HINSTANCE>(getGuiModuleInstance());
  wsprintfW(className, L"Plugin%p", instance);
  WNDCLASSW windowClass = {};
  windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
  windowClass.lpfnWndProc = frameWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  buttonsSwapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
}

void unregisterWindowClass() {
  if (classRegistrations <= 0) return;
  if (classRegistrations-- == 1) UnregisterClassW(className, static_cast<HINSTANCE>(getGuiModuleInstance()));
}

bool onWindowThread(HWND hwnd) {
  return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

// Takes the window down from any thread; answers whether it is gone. Another thread's window is
// handed to that thread, and this one waits. When that thread does not get to it in time (busy,
// or itself waiting for this one), the window is hidden and its procedure becomes the system's
// default, so nothing of this module stays reachable through it after an unload; the host's
// window takes it along when it goes. Its thread's OLE reference is lost then.
bool destroyOnOwnThread(HWND hwnd) {
  if (!IsWindow(hwnd)) return true;  // its thread ended and took it along
  if (onWindowThread(hwnd)) {
    tearDownOnOwnThread(hwnd);
    return true;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, kDestroyOnOwnThread, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kOwnThreadWaitMs,
                      &result);
  if (!IsWindow(hwnd)) return true;
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
  ShowWindowAsync(hwnd, SW_HIDE);
  return !IsWindow(hwnd);
}

CButtonState buttonsFromKeyState(WPARAM keys) {
  CButtonState buttons = 0;
  if (keys & MK_LBUTTON) buttons |= kButtonLeft;
  if (keys & MK_RBUTTON) buttons |= kButtonRight;
  if (keys & MK_MBUTTON) buttons |= kButtonMiddle;
  if (keys & MK_XBUTTON1) buttons |= kButton4;
  if (keys & MK_XBUTTON2) buttons |= kButton5;
  if (keys & MK_CONTROL) buttons |= kModControl;
  if (keys & MK_SHIFT) buttons |= kModShift;
  if (GetKeyState(VK_MENU) < 0) buttons |= kModAlt;
  return buttons;
}

CPos pointFromLParam(LPARAM lParam) {
  return CPos(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

// The smallest rectangle of whole window pixels that covers an area in the views' units, and
// the smallest area in those units that covers a rectangle of window pixels.
RECT windowPixelsOf(const CArea& area, float scale) {
  return {CDrawContext::deviceEdge(area.left, scale) - (scale == 1.0f ? 0 : 1),
          CDrawContext::deviceEdge(area.top, scale) - (scale == 1.0f ? 0 : 1),
          CDrawContext::deviceEdge(area.right, scale) + (scale == 1.0f ? 0 : 1),
          CDrawContext::deviceEdge(area.bottom, scale) + (scale == 1.0f ? 0 : 1)};
}

// The back buffer's pixels in `area` straight to the window's device context. A GDI+ draw of
// the buffer onto the device costs the same for a meter as for the whole window under Wine (the
// whole picture is converted each time); these rows are copied as they are. The face is opaque,
// so the buffer's alpha does not matter. False when the pixels cannot be reached.
bool copyToDevice(COffscreenContext* buffer, HDC dc, const CArea& area) {
  CBitmap* bitmap = buffer->getBitmap();
  auto* image = bitmap ? static_cast<Gdiplus::GpBitmap*>(bitmap->getGdiplusBitmap()) : nullptr;
  const CArea part = intersection(area, CArea(0, 0, buffer->getWidth(), buffer->getHeight()));
  if (!image || part.isEmpty()) return false;
  if (const uint8_t* pixels = bitmap->getPixels()) {
    // The buffer's own rows (premultiplied; the face is opaque, so they are the colours).
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bitmap->getWidth();
    info.bmiHeader.biHeight = -part.getHeight();  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(
               dc, part.left, part.top, part.getWidth(), part.getHeight(), part.left, 0, 0, part.getHeight(),
               pixels + static_cast<size_t>(part.top) * bitmap->getWidth() * 4, &info, DIB_RGB_COLORS) != 0;
  }
  Gdiplus::Rect rows(part.left, part.top, part.getWidth(), part.getHeight());
  Gdiplus::BitmapData data = {};
  if (gp::GdipBitmapLockBits(image, &rows, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
      Gdiplus::Ok)
    return false;
  bool copied = false;
  if (data.Stride > 0 && data.Stride % 4 == 0) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = data.Stride / 4;
    info.bmiHeader.biHeight = -part.getHeight();  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    copied = SetDIBitsToDevice(dc, part.left, part.top, part.getWidth(), part.getHeight(), 0, 0, 0,
                               part.getHeight(), data.Scan0, &info, DIB_RGB_COLORS) != 0;
  }
  gp::GdipBitmapUnlockBits(image, &data);
  return copied;
}

}  // namespace

bool CFrame::insideWindowMessage() {
  return windowMessageDepth > 0;
}

void CFrame::createWindow() {
  OleInitialize(nullptr);
  GDIPlusGlobals::acquireGdiPlus();
  systemVersion.dwOSVersionInfoSize = sizeof(systemVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&systemVersion));
#pragma GCC diagnostic pop
  if (!parentWindow) return;
  registerWindowClass();
  const DWORD exStyle = systemVersion.dwMajorVersion < 6 ? 0 : WS_EX_COMPOSITED;
  HWND created = CreateWindowExW(exStyle, className, L"Window",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 getWindowWidth(), getWindowHeight(), static_cast<HWND>(parentWindow),
                                 nullptr, static_cast<HINSTANCE>(getGuiModuleInstance()), nullptr);
  if (!created) {
    unregisterWindowClass();
    return;
  }
  window = created;
  countLive(kLiveWindows, 1);
  SetWindowLongPtrW(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  setDropActive(true);
}

// Any thread (the host's close).
void CFrame::destroyWindow() {
  if (backBuffer) backBuffer->release();
  backBuffer = nullptr;
  if (window) {
    HWND hwnd = static_cast<HWND>(window);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    countLive(kLiveWindows, -1);
    window = nullptr;
    // A class that still has a window stays registered: the window needs it while it lives.
    if (destroyOnOwnThread(hwnd)) unregisterWindowClass();
  } else {
    OleUninitialize();
  }
  GDIPlusGlobals::releaseGdiPlus();
}

intptr_t CFrame::handleWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window);
  switch (message) {
    case WM_DESTROY:
      setOpen(false);
      parentWindow = nullptr;
      break;
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      onMouseMoved(toViewUnits(pointFromLParam(lParam)), buttonsFromKeyState(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK: {
      CButtonState buttons = buttonsFromKeyState(wParam);
      if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK ||
          message == WM_XBUTTONDBLCLK)
        buttons |= kDoubleClick;
      // The pressed view gets the following moves and the release even outside the window.
      if (onMouseDown(toViewUnits(pointFromLParam(lParam)), buttons) == kMouseHandled) SetCapture(hwnd);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      onMouseUp(toViewUnits(pointFromLParam(lParam)), buttonsFromKeyState(wParam));
      ReleaseCapture();
      return 0;
    case WM_MOUSEWHEEL: {
      CButtonState buttons = 0;
      if (GetKeyState(VK_SHIFT) < 0) buttons |= kModShift;
      if (GetKeyState(VK_CONTROL) < 0) buttons |= kModControl;
      if (GetKeyState(VK_MENU) < 0) buttons |= kModAlt;
      RECT r = {};
      GetWindowRect(hwnd, &r);
      const CPos where = toViewUnits(CPos(GET_X_LPARAM(lParam) - r.left, GET_Y_LPARAM(lParam) - r.top));
      // Whole notches, the rest kept for the next message; a turn the other way starts over.
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      if ((delta < 0) != (wheelRemainder < 0)) wheelRemainder = 0;
      wheelRemainder += delta;
      const int notches = wheelRemainder / WHEEL_DELTA;
      wheelRemainder -= notches * WHEEL_DELTA;
      if (notches == 0) return 0;
      // Handled here, it must not reach the parent too: a host that forwards its wheel back
      // through the editor's wheel request would turn the control a second time.
      if (onWheel(where, static_cast<float>(notches), buttons)) return 0;
      break;
    }
    case 0x02E0:  // WM_DPICHANGED, for a top-level frame: the new density is in wParam
      onDpiChanged(LOWORD(wParam));
      return 0;
    case 0x02E3:  // WM_DPICHANGED_AFTERPARENT: a child learns it from its window
      onDpiChanged(0);
      return 0;
    case WM_MOUSELEAVE: {
      CPos where;
      getCurrentMouseLocation(where);
      onMouseExited(where, getCurrentButtons());
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CFrame::paint() {
  HWND hwnd = static_cast<HWND>(window);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetUpdateRgn(hwnd, region, FALSE) != NULLREGION) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // The window's pixels, and the views' units that cover them.
    const CArea pixels(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    const CPos topLeft = toViewUnits(CPos(pixels.left, pixels.top));
    const auto upTo = [this](LONG edge) {
      return static_cast<int32_t>(std::ceil(static_cast<float>(edge) / scale));
    };
    const CArea area(topLeft.x, topLeft.y, upTo(pixels.right), upTo(pixels.bottom));
    // Always through a kept back buffer, copied to the screen in one step: drawn directly, the
    // background shows bare under a control between the two (composited windows would hide
    // that, but not every system composites them: Wine does not).
    if (!backBuffer) {
      backBuffer = new COffscreenContext(this, getWindowWidth(), getWindowHeight(), kBlackCColor);
      backBuffer->setScale(scale);
      staleArea = CArea(0, 0, bounds.getWidth(), bounds.getHeight());
    }
    // Only what the views changed is drawn again; the rest of the area (the window uncovered or
    // redrawn by the host) still shows in the buffer and is only copied.
    const CArea redraw = intersection(area, staleArea);
    if (!redraw.isEmpty()) drawArea(backBuffer, redraw);
    if (intersection(staleArea, area) == staleArea) staleArea = CArea();
    if (!copyToDevice(backBuffer, dc, pixels)) {
      auto* screen = new CDrawContext(this, dc, hwnd);
      backBuffer->copyFrom(screen, pixels, CPos(pixels.left, pixels.top));
      screen->release();
    }
    EndPaint(hwnd, &ps);
  }
  DeleteObject(region);
}

void CFrame::armLeaveTracking() {
  if (mouseTrackingArmed || !window) return;
  mouseTrackingArmed = true;
  TRACKMOUSEEVENT request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = static_cast<HWND>(window);
  request.dwHoverTime = 0;
  TrackMouseEvent(&request);
}

void CFrame::invalidateRect(const CArea& area) {
  if (!area.isEmpty()) {
    staleArea = staleArea.isEmpty()
                    ? area
                    : CArea(std::min(staleArea.left, area.left), std::min(staleArea.top, area.top),
                            std::max(staleArea.right, area.right), std::max(staleArea.bottom, area.bottom));
  }
  if (!visible || !window) return;
  const RECT r = windowPixelsOf(area, scale);
  InvalidateRect(static_cast<HWND>(window), &r, TRUE);
}

uint32_t CFrame::getTicks() const {
  return GetTickCount();
}

bool CFrame::getCurrentMouseLocation(CPos& out) const {
  POINT p = {0, 0};
  GetCursorPos(&p);
  RECT r = {};
  if (window) GetWindowRect(static_cast<HWND>(window), &r);
  out = toViewUnits(CPos(p.x - r.left, p.y - r.top));
  return true;
}

CButtonState CFrame::getCurrentButtons() const {
  CButtonState buttons = 0;
  if (GetAsyncKeyState(VK_LBUTTON) < 0) buttons |= buttonsSwapped ? kButtonRight : kButtonLeft;
  if (GetAsyncKeyState(VK_RBUTTON) < 0) buttons |= buttonsSwapped ? kButtonLeft : kButtonRight;
  if (GetAsyncKeyState(VK_MBUTTON) < 0) buttons |= kButtonMiddle;
  if (GetAsyncKeyState(VK_SHIFT) < 0) buttons |= kModShift;
  if (GetAsyncKeyState(VK_CONTROL) < 0) buttons |= kModControl;
  if (GetAsyncKeyState(VK_MENU) < 0) buttons |= kModAlt;
  return buttons;
}

void CFrame::setCursor(int32_t type) {
  if (!defaultCursorSaved) {
    defaultCursor = GetCursor();
    defaultCursorSaved = true;
  }
  LPCWSTR id = nullptr;
  switch (type) {
    case kCursorWait:
      id = IDC_WAIT;
      break;
    case kCursorHSize:
      id = IDC_SIZEWE;
      break;
    case kCursorVSize:
      id = IDC_SIZENS;
      break;
    case kCursorSizeAll:
      id = IDC_SIZEALL;
      break;
    case kCursorNESWSize:
      id = IDC_SIZENESW;
      break;
    case kCursorNWSESize:
      id = IDC_SIZENWSE;
      break;
    case kCursorNotAllowed:
      id = IDC_NO;
      break;
    case kCursorHand:
      id = IDC_HAND;
      break;
    default:
      break;
  }
  SetCursor(id ? LoadCursorW(nullptr, id) : static_cast<HCURSOR>(defaultCursor));
}

bool CFrame::setDropActive(bool active) {
  if (!dropActive && !active) return true;
  if (!window) return false;
  HWND hwnd = static_cast<HWND>(window);
  if (dropTarget) {
    dropTarget->forgetFrame();
    // Drops the system's reference; the target deletes itself. Only the registering thread can
    // revoke: from another, the close revokes on the window's thread.
    if (onWindowThread(hwnd)) RevokeDragDrop(hwnd);
    dropTarget = nullptr;
  }
  if (active) {
    auto* target = new CDropTarget(this);
    target->AddRef();  // held across the registration so a refusal cannot leak it
    if (SUCCEEDED(RegisterDragDrop(hwnd, target))) dropTarget = target;
    target->Release();
  }
  dropActive = active;
  return true;
}

bool CFrame::getPosition(int32_t& x, int32_t& y) const {
  if (!open || !window) return false;
  HWND current = static_cast<HWND>(window);
  RECT own = {};
  GetWindowRect(current, &own);
  for (;;) {
    HWND parent = GetParent(current);
    if ((GetWindowLongW(current, GWL_STYLE) & WS_CAPTION) || !parent) break;
    RECT pr = {};
    GetWindowRect(parent, &pr);
    if (std::abs((pr.right - pr.left) - (own.right - own.left)) > 60 ||
        std::abs((pr.bottom - pr.top) - (own.bottom - own.top)) > 60)
      break;
    current = parent;
  }
  RECT r = {};
  GetWindowRect(current, &r);
  POINT corner = {r.left, r.top};
  MapWindowPoints(HWND_DESKTOP, GetParent(current), &corner, 1);
  x = corner.x;
  y = corner.y;
  return true;
}

bool CFrame::getSize(CArea& out) const {
  if (!open || !window) return false;
  HWND parent = GetParent(static_cast<HWND>(window));
  if (!parent) return false;
  RECT r = {};
  GetWindowRect(parent, &r);
  POINT corner = {r.left, r.top};
  HWND grandParent = GetParent(parent);
  MapWindowPoints(HWND_DESKTOP, grandParent ? GetParent(grandParent) : nullptr, &corner, 1);
  out = CArea(corner.x, corner.y, corner.x + (r.right - r.left), corner.y + (r.bottom - r.top));
  return true;
}

bool CFrame::setSize(int32_t width, int32_t height) {
  if (!open || !window) return false;
  if (width == bounds.getWidth() && height == bounds.getHeight()) return false;
  if (backBuffer) backBuffer->release();
  backBuffer = nullptr;
  const int limit = 2 * GetSystemMetrics(SM_CYDLGFRAME);
  int dx = 0, dy = 0;
  HWND current = static_cast<HWND>(window);
  while (dx != limit) {
    HWND parent = GetParent(current);
    if (!parent) break;
    wchar_t name[1024] = {};
    GetClassNameW(parent, name, 1024);
    if (lstrcmpW(name, L"MDIClient") == 0) break;
    RECT cr = {}, pr = {};
    GetWindowRect(current, &cr);
    GetWindowRect(parent, &pr);
    SetWindowPos(current, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE);
    dx += (pr.right - pr.left) - (cr.right - cr.left);
    dy += (pr.bottom - pr.top) - (cr.bottom - cr.top);
    if (dx > 80 || dy > 80) return true;
    if (dx < 0) dx = 0;
    if (dy < 0) dy = 0;
    current = parent;
  }
  SetWindowPos(current, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE);
  setBounds(CArea(bounds.left, bounds.top, bounds.left + width, bounds.top + height), true);
  return true;
}

}  // namespace VSTGUI
