// Shows an option menu as a native pop-up and waits for the user's choice. The platform
// supplies one (win32/: TrackPopupMenu; headless/: no pop-up, never a choice); tests may
// install their own to choose an item without a screen.
// GUI thread only; track runs a modal loop that dispatches the thread's messages.
#pragma once

#include <cstdint>

#include "gui/frame/CPos.h"

namespace VSTGUI {

class CFrame;
class COptionMenu;

class PopupMenuTracker {
 public:
  virtual ~PopupMenuTracker() = default;
  // Shows the menu at where (relative to the frame window's top-left corner), tracking the
  // right button when rightButton is set; answers the chosen identifier, or -1 for none.
  virtual int32_t track(COptionMenu& menu, CFrame& frame, CPos where, bool rightButton) = 0;

  // The tracker option menus use: the installed one, else the platform's.
  static PopupMenuTracker& current();
  // Installs a tracker (not owned); null restores the platform's.
  static void install(PopupMenuTracker* tracker);
};

}  // namespace VSTGUI
