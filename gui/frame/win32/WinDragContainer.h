// The items of an OLE drag as UTF-8: one text, or file paths with shell shortcuts resolved
// to their targets. Lives from DragEnter to DragLeave/Drop on the window's thread.
#pragma once

#include <windows.h>

#include <ole2.h>

#include "gui/frame/CDragContainer.h"

namespace VSTGUI {

class WinDragContainer : public CDragContainer {
 public:
  // The data object is not reference-counted here: it outlives the drag.
  explicit WinDragContainer(IDataObject* data);
  ~WinDragContainer() override;

  void* firstItem(int32_t& size, int32_t& type) override;
  void* nextItem(int32_t& size, int32_t& type) override;
  int32_t getItemType(int32_t index) override;
  int32_t getItemCount() override;

  // Replaces a path ending in a ".lnk" shortcut (the text from the first dot) by the
  // shortcut's target; path holds 2048 characters. False when nothing was resolved.
  static bool resolveShortcut(wchar_t* path);

 private:
  void freeItem();

  IDataObject* dataObject = nullptr;
  int32_t itemCount = 0;
  int32_t iterationIndex = 0;
  char* itemBuffer = nullptr;
};

}  // namespace VSTGUI
