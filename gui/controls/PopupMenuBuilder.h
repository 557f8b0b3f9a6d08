// The platform side of building a native pop-up menu: the option menu walks its items in
// identifier order and hands each entry to the builder.
#pragma once

#include "gui/controls/PopupMenuEntry.h"

namespace VSTGUI {

class PopupMenuBuilder {
 public:
  virtual ~PopupMenuBuilder() = default;
  // A new empty native menu, or null when none can be made.
  virtual void* createMenu() = 0;
  // submenu is the native menu built for a kSubmenu entry (null if it could not be built).
  virtual void appendEntry(void* menu, const PopupMenuEntry& entry, void* submenu) = 0;
};

}  // namespace VSTGUI
