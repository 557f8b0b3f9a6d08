// The Windows services of the editor bridge: tick count, sleep, one pending paint, OLE.
#include <ole2.h>
#include <windows.h>

#include "plugin/AEffGUIEditor.h"

namespace editorplatform {

uint32_t ticks() {
  return static_cast<uint32_t>(GetTickCount());
}

void sleepMilliseconds(uint32_t milliseconds) {
  Sleep(milliseconds);
}

// Keeps the window painted while a mouse interaction holds the thread in a busy loop.
void dispatchOnePendingPaint() {
  MSG message;
  if (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    DispatchMessageW(&message);
  }
}

void initialiseOle() {
  OleInitialize(nullptr);
}

void releaseOle() {
  OleUninitialize();
}

}  // namespace editorplatform
