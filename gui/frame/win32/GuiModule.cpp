#include "gui/frame/GuiModule.h"

#include <windows.h>

namespace VSTGUI {

void* getGuiModuleInstance() {
  static HMODULE ownModule = nullptr;
  if (!ownModule && !GetModuleHandleExW(
                        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                        reinterpret_cast<LPCWSTR>(&getGuiModuleInstance), &ownModule))
    ownModule = nullptr;
  return ownModule;
}

}  // namespace VSTGUI
