// The module instance (HMODULE) whose resources and window class the toolkit uses: the one
// set here, else the handle the library's load routine recorded (plugin/ModuleHandle.h),
// else the module that contains this code, found from one of its own addresses.
#pragma once

namespace VSTGUI {

void setGuiModuleInstance(void* instance);
void* getGuiModuleInstance();

}  // namespace VSTGUI
