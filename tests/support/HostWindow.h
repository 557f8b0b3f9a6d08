// Windows a test program makes in its host's role (Windows only): a plain top-level window for
// a frame to sit in, and the borderless window a host opens the editor in.
#pragma once

#include <windows.h>

// A top-level window of a plain window class, registered once per program.
inline HWND makeHostWindow(int x, int y, int width, int height,
                           DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
  static const bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaliteTestHost";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExW(0, L"KorvaliteTestHost", L"host", style, x, y, width, height, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// The editor's window: borderless at the screen's corner, so frame and screen coordinates
// agree, and the size of the face.
inline HWND makeEditorParent() {
  return CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 1191, 734, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}
