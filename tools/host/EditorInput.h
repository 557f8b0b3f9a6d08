// Real user input for the editor: mouse and keyboard events through SendInput, as the
// window system delivers a user's own. Called from the script thread while the window's
// thread keeps running its message loop; every position is in the editor window's pixels.
#pragma once

#ifdef _WIN32
#include <string>

class EditorInput {
 public:
  // window: the host window whose client area holds the editor at its top-left corner.
  explicit EditorInput(void* window) : window_(window) {}

  void moveTo(int x, int y);
  void button(bool down, bool right);
  // Holds (down) or lets go of the modifier keys.
  void modifiers(bool down, bool control, bool shift, bool alt);
  void wheel(int notches);
  // A key by name (letters, digits, tab, return, escape, space, arrows, backspace, delete);
  // false for an unknown name.
  bool key(const std::string& name);
  // After the click that opened a pop-up menu: waits for it and chooses entry (from 0) with
  // the mouse. False when no menu appeared or it has no such entry.
  bool chooseFromPopup(int entry);

 private:
  void* window_;
};
#endif
