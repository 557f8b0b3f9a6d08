// The option menu's pop-up on Windows: a native menu built with CreatePopupMenu and
// AppendMenuW, tracked modally with TrackPopupMenu over the frame window.
// GUI thread only.
#pragma once

#include "gui/controls/PopupMenuTracker.h"

namespace VSTGUI {

class Win32PopupMenuTracker : public PopupMenuTracker {
 public:
  int32_t track(COptionMenu& menu, CFrame& frame, CPos where, bool rightButton) override;
};

}  // namespace VSTGUI
