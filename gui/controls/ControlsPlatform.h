// What the controls take from the platform: the system's double-click time and the native
// pop-up menu. win32/ implements it for Windows, headless/ for builds without a window system.
#pragma once

#include <cstdint>

namespace VSTGUI {

class PopupMenuTracker;

// The system's double-click time in milliseconds.
int32_t systemDoubleClickTime();
// The tracker that shows option menus natively (one per process).
PopupMenuTracker& platformPopupMenuTracker();

}  // namespace VSTGUI
