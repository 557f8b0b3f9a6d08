// The screen's density as the editor's windows see it, and per-monitor DPI awareness for the
// windows the editor creates. Every call degrades to 96 dpi (or to nothing) on a system without
// the newer entry points, so the editor still opens at 100 % there.
#pragma once

#include <cstdint>

namespace screendpi {

// The DPI the system gives windows of the calling thread's awareness (96 when it gives none).
uint32_t forSystem();
// The DPI of the monitor `window` (an HWND) is on, else forSystem().
uint32_t forWindow(void* window);

// While it lives, windows the calling thread creates are per-monitor DPI aware, so the system
// leaves their pixels alone and tells them of a move to a monitor of another density.
class PerMonitorAwareness {
 public:
  PerMonitorAwareness();
  ~PerMonitorAwareness();
  PerMonitorAwareness(const PerMonitorAwareness&) = delete;
  PerMonitorAwareness& operator=(const PerMonitorAwareness&) = delete;

 private:
  void* previous = nullptr;
};

}  // namespace screendpi
