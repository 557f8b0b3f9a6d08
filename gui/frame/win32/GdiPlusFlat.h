// The Windows and GDI+ headers the platform layer uses, in the order they need.
// Only the flat API of gdiplus.dll is called (namespace Gdiplus::DllExports, alias gp).
#pragma once

#include <gdiplus.h>
#include <objidl.h>
#include <windows.h>

namespace gp = Gdiplus::DllExports;
