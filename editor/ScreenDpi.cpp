#include "editor/ScreenDpi.h"

#include <windows.h>

namespace screendpi {

namespace {

using AwarenessContext = HANDLE;
// The system's own value for per-monitor awareness, second version (Windows 10 1703 on).
const AwarenessContext kPerMonitorAwareV2 = reinterpret_cast<AwarenessContext>(static_cast<intptr_t>(-4));

template <typename Function>
Function user32Entry(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

uint32_t forSystem() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto getDpiForSystem = user32Entry<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem) {
    const UINT dpi = getDpiForSystem();
    if (dpi > 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<uint32_t>(dpi) : 96;
}

uint32_t forWindow(void* window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = user32Entry<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window && IsWindow(static_cast<HWND>(window))) {
    const UINT dpi = getDpiForWindow(static_cast<HWND>(window));
    if (dpi > 0) return dpi;
  }
  return forSystem();
}

namespace {
using SetThreadDpiAwarenessContextFn = AwarenessContext(WINAPI*)(AwarenessContext);
// Looked up at first use, not while the module loads.
SetThreadDpiAwarenessContextFn setThreadAwareness() {
  static const auto found = user32Entry<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
  return found;
}
}  // namespace

PerMonitorAwareness::PerMonitorAwareness() {
  if (auto set = setThreadAwareness()) previous = set(kPerMonitorAwareV2);
}

PerMonitorAwareness::~PerMonitorAwareness() {
  if (auto set = setThreadAwareness(); set && previous) set(previous);
}

}  // namespace screendpi
