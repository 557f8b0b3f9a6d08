// The process-wide start-up object's reference counting, the same on every platform; starting
// and shutting down the graphics library is the platform's (its constructor and destructor).
#include "gui/frame/GDIPlusGlobals.h"

namespace VSTGUI {

GDIPlusGlobals* GDIPlusGlobals::instance = nullptr;

void GDIPlusGlobals::acquireGdiPlus() {
  if (instance)
    instance->retain();
  else
    instance = new GDIPlusGlobals;
}

void GDIPlusGlobals::releaseGdiPlus() {
  if (!instance) return;
  GDIPlusGlobals* current = instance;
  if (current->getNbReference() == 1) instance = nullptr;
  current->release();
}

}  // namespace VSTGUI
