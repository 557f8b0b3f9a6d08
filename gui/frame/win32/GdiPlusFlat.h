// The Windows and GDI+ headers the platform layer uses, in the order they need.
// Only the flat API of gdiplus.dll is called (namespace Gdiplus::DllExports, alias gp).
#pragma once

// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

namespace gp = Gdiplus::DllExports;
