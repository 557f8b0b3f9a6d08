// The library's entry points: the load routine, which records the module handle, and
// VSTPluginMain (also exported as main), which the host calls once per effect instance.
#include <new>

#include "effect/Controlsgui.h"
#include "plugin/ModuleHandle.h"
#include "plugin/VstInterface.h"

#ifdef _WIN32
#define KORVALITE_EXPORT extern "C" __declspec(dllexport)
#else
#define KORVALITE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Called by the host, on whatever thread it creates instances on; holds no lock. Each call
// makes an independent effect, which lives until the host sends effClose through its record.
KORVALITE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  // A host without a callback cannot be asked for its version; it gets no effect either.
  if (audioMaster == nullptr) {
    return nullptr;
  }
  if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
    return nullptr;
  }
  // No exception may cross into the host: a failed allocation anywhere in construction
  // answers null like a failed allocation of the object itself.
  try {
    Controlsgui* effect = new (std::nothrow) Controlsgui(audioMaster);
    return effect != nullptr ? effect->getAeffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

#ifdef _WIN32
// The DLL exports the same function as "main" through Korvalite_64.def.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  // Stored for every reason code: the handle is the same for all of them.
  hInstance = instance;
  return TRUE;
}
#else
// Older hosts look the entry point up under the name "main"; a C++ function cannot carry
// that name, so the same code gets it as its symbol name.
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect* korvaliteMainAlias(
    audioMasterCallback audioMaster) __asm__("main");
#endif
