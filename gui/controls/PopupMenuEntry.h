// One entry of a native pop-up menu as the option menu describes it: what a platform
// builder appends, already decided (identifier, text with its number prefix, column break,
// check mark, grey state), so that the platform code holds no menu logic.
#pragma once

#include <cstdint>
#include <string>

namespace VSTGUI {

class CBitmap;
class COptionMenu;

struct PopupMenuEntry {
  enum Kind : int32_t { kCommand, kSeparator, kSubmenu };

  Kind kind = kCommand;
  std::string text;          // UTF-8
  int32_t id = -1;           // command identifier; -1 for separators and sub-menu entries
  bool columnBreak = false;  // the entry starts a new column
  bool grayed = false;       // disabled item: shown grey
  bool disabled = false;     // heading: shown normally, not choosable
  bool checked = false;
  COptionMenu* submenu = nullptr;
  CBitmap* icon = nullptr;
};

}  // namespace VSTGUI
