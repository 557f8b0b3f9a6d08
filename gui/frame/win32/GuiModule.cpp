#include "gui/frame/GuiModule.h"

#include <windows.h>

#include "plugin/ModuleHandle.h"

namespace VSTGUI {

namespace {
HMODULE moduleInstance = nullptr;
}

void setGuiModuleInstance(void* instance) {
  moduleInstance = static_cast<HMODULE>(instance);
}

// The handle the library's load routine recorded; without one (programs that link the
// toolkit without the entry point), the module holding this very function, which is the
// plug-in DLL in a host and the program itself in tests.
void* getGuiModuleInstance() {
  if (moduleInstance) return moduleInstance;
  if (::hInstance) return ::hInstance;
  static HMODULE ownModule = nullptr;
  if (!ownModule && !GetModuleHandleExW(
                        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                        reinterpret_cast<LPCWSTR>(&getGuiModuleInstance), &ownModule))
    ownModule = nullptr;
  return ownModule;
}

}  // namespace VSTGUI
