// The Windows file dialog in which the player picks an impulse-response file (WAV, AIFF, FLAC).
// Editor window thread; modal over the editor's window while it is open.
#pragma once

#include <string>

namespace ResponseFileDialog {

// True with the chosen file's path (UTF-8) when the player picked one; false when the dialog was
// cancelled or could not open. owner: the editor's window (an HWND), or null.
bool choose(void* owner, std::string& utf8Path);

}  // namespace ResponseFileDialog
