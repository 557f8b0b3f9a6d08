#include "gui/frame/GuiModule.h"

#include <windows.h>

namespace VSTGUI {

namespace {
HMODULE moduleInstance = nullptr;
}

void setGuiModuleInstance(void* instance) {
  moduleInstance = static_cast<HMODULE>(instance);
}

// The module holding this function is the one whose resources the toolkit loads: the
// plug-in DLL when loaded by a host, the program itself in tests.
void* getGuiModuleInstance() {
  if (!moduleInstance) {
    HMODULE found = nullptr;
    if (GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&getGuiModuleInstance), &found))
      moduleInstance = found;
  }
  return moduleInstance;
}

}  // namespace VSTGUI
