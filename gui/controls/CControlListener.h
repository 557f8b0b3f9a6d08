// The interface through which a control reports to its owner (the editor): value changes,
// presses with a modifier or the right button, and the brackets of a user's edit.
// Every call arrives on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/frame/MouseTypes.h"

namespace VSTGUI {

class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  // Offered a press with the right button or a modifier before the control sees it;
  // non-zero means the listener took the press.
  virtual int32_t onModifierClick(CControl* /*control*/, CButtonState /*buttons*/) { return 0; }
  virtual void onBeginEdit(CControl* /*control*/) {}
  virtual void onEndEdit(CControl* /*control*/) {}
};

}  // namespace VSTGUI
