// Group 6 (the module part, the real DLL under Wine): Korvalite_64.dll loaded, used with its
// editor open and unloaded again 100 times. Its window class exists exactly while an editor is
// open and is gone when the last one closes, so the next load (often at the same address, so
// under the same class name) registers it again; the process's memory stays flat.
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include "tests/reliability/harness/PluginHost.h"

using namespace reliability;

namespace {

bool classRegistered(HMODULE module) {
  wchar_t name[64];
  wsprintfW(name, L"Plugin%p", module);
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExW(module, name, &info) != FALSE;
}

void pumpMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

TEST(Module, LoadedAndUnloadedAHundredTimesWithItsWindowClass) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 1191, 734, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  // Each load builds the tables and the pictures again (about a second under Wine): the CI tier
  // does 20, the soak the full 100.
  const int cycles = soaking() ? 100 : 20;
  long long afterWarmUp = 0;
  long long drift = 0;
  int reregistered = 0;
  const double start = wallSeconds();
  for (int cycle = 0; cycle < cycles; ++cycle) {
    PluginModule module;
    ASSERT_TRUE(module.load(KORVALITE_PLUGIN)) << "cycle " << cycle;
    HMODULE handle = static_cast<HMODULE>(module.handle());
    ASSERT_FALSE(classRegistered(handle)) << "cycle " << cycle << ": a class is left from before";
    Instance effect(module.create());
    ASSERT_TRUE(effect);
    effect.dispatch(effOpen);
    effect.dispatch(effMainsChanged, 0, 1);
    ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, parent), 1) << "cycle " << cycle;
    ASSERT_TRUE(classRegistered(handle));
    reregistered += cycle > 0;
    effect.dispatch(effEditIdle);
    pumpMessages();
    effect.dispatch(effEditClose);
    EXPECT_FALSE(classRegistered(handle)) << "the last editor closed, the class stays";
    effect.close();
    pumpMessages();
    module.unload();
    const long long now = allocatedBytes();
    if (cycle == 4) afterWarmUp = now;
    if (cycle > 4) drift = std::max(drift, now - afterWarmUp);
  }
  DestroyWindow(parent);
  // The tables alone are 17.6 MB: a leaked instance or table set shows at once.
  EXPECT_LT(drift, 8ll * 1024 * 1024) << drift;
  figure("6 module",
         format("Korvalite_64.dll loaded, editor opened and closed, unloaded %d times: window class "
                "registered again %d times and gone after every close, private memory drift after "
                "cycle 5 at most %lld KB, %.1f s",
                cycles, reregistered, drift / 1024, wallSeconds() - start));
}

}  // namespace
