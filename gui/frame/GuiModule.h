// The module instance (HMODULE) whose resources and window class the toolkit uses: the module
// that contains this code, found from one of its own addresses. That is the plug-in DLL in a
// host and the program itself in tests, so the toolkit needs nothing from the entry point.
#pragma once

namespace VSTGUI {

void* getGuiModuleInstance();

}  // namespace VSTGUI
