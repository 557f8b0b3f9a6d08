// Keeps GDI+ started while any frame or bitmap exists: the first acquire starts it, the
// release of the last reference shuts it down. GUI thread only.
#pragma once

#include <cstdint>

#include "gui/frame/CBaseObject.h"

namespace VSTGUI {

class GDIPlusGlobals : public CBaseObject {
 public:
  static void acquireGdiPlus();
  static void releaseGdiPlus();
  static bool isStarted() { return instance != nullptr; }
  // How often GDI+ was started and shut down in this process (for diagnostics and tests).
  static int32_t getStartupCount() { return startups; }
  static int32_t getShutdownCount() { return shutdowns; }

  ~GDIPlusGlobals() override;

 private:
  GDIPlusGlobals();

  uintptr_t token = 0;
  static GDIPlusGlobals* instance;
  static int32_t startups;
  static int32_t shutdowns;
};

}  // namespace VSTGUI
