// Windows a test program makes in its host's role (Windows only): a plain top-level window for
// a frame to sit in, and the borderless window a host opens the editor in.
#pragma once

#include <windows.h>

#include <cwchar>

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

// This process's visible top-level window of a window class (L"#32768" an open pop-up menu,
// L"#32770" a dialog), or null. Other test programs may share the Wine server: only this
// process's windows count.
inline HWND visibleWindowOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
  } search = {className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM p) -> BOOL {
        Search& s = *reinterpret_cast<Search*>(p);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (std::wcscmp(name, s.className) != 0 || !IsWindowVisible(window) ||
            process != GetCurrentProcessId())
          return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}
