// A file dropped on a window the way Explorer drops one: the data object offers the file as
// CF_HDROP, and the drop target the window registered (RegisterDragDrop) gets enter, over and drop
// with the pointer at the spot, as OLE's drag loop calls them. Window thread of the target (its
// drop target is an apartment-threaded object).
#pragma once

#ifdef _WIN32
#include <string>

// Drops utf8Path at x, y of window's client area (the child window there, or the nearest of its
// parents that takes drops). The effect the target answered: "copy", "move", "link", "none" (it
// refused the file) or, when no window there takes drops, "no drop target".
std::string dropFile(void* window, int x, int y, const std::string& utf8Path);
#endif
