// The module instance (HMODULE) whose resources and window class the toolkit uses.
// Unless someone sets it, it is the module that contains this code (the plug-in DLL, or a
// test program), found from one of its own addresses.
#pragma once

namespace VSTGUI {

void setGuiModuleInstance(void* instance);
void* getGuiModuleInstance();

}  // namespace VSTGUI
