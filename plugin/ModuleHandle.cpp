#include "plugin/ModuleHandle.h"

// Null until the load routine runs; programs that link the GUI without the entry point
// (tests) set it themselves.
#ifdef _WIN32
HINSTANCE hInstance = nullptr;
#else
void* hInstance = nullptr;
#endif
