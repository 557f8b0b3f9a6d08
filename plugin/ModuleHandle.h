// The library's own module handle, recorded by the load routine and read by the GUI when it
// loads its bitmap resources and registers its window class. One per process, shared by
// every instance.
#pragma once

#ifdef _WIN32
#include <windows.h>
extern HINSTANCE hInstance;
#else
extern void* hInstance;
#endif
