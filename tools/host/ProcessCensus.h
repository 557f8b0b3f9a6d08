// What a process holds, for leak checks of an editor's open/close cycles (Windows).
#pragma once

#include <windows.h>

#include <cstddef>

// Committed private memory, summed over the address space: GetProcessMemoryInfo's private
// usage reads 0 under Wine.
inline size_t privateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
  }
  return total;
}

// The windows below window, at any depth.
inline int childWindows(HWND window) {
  int count = 0;
  EnumChildWindows(
      window, [](HWND, LPARAM n) -> BOOL { return ++*reinterpret_cast<int*>(n), TRUE; },
      reinterpret_cast<LPARAM>(&count));
  return count;
}
