#include "editor/ControlsguiFrame.h"

#include <utility>

#include "gui/frame/CDragContainer.h"

using namespace VSTGUI;

ControlsguiFrame::ControlsguiFrame(const CArea& bounds, void* parentWindow, VSTGUIEditorInterface* editor,
                                   Handlers given, float scale)
    : CFrame(bounds, parentWindow, editor, scale), handlers(std::move(given)) {}

// Only a click no control took: a right click on a menu or a knob stays theirs.
CMouseEventResult ControlsguiFrame::onMouseDown(CPos where, CButtonState buttons) {
  const CMouseEventResult result = CFrame::onMouseDown(where, buttons);
  if (result == kMouseIgnored && (buttons & kButtonRight) && handlers.backgroundRightClicked)
    handlers.backgroundRightClicked(where);
  return result;
}

void ControlsguiFrame::onDpiChanged(uint32_t dpi) {
  if (handlers.dpiChanged) handlers.dpiChanged(dpi);
}

bool ControlsguiFrame::firstFile(CDragContainer* drag, std::string& utf8Path) {
  if (drag == nullptr) return false;
  int32_t size = 0;
  int32_t type = kDragItemUnknown;
  for (void* item = drag->firstItem(size, type); item != nullptr; item = drag->nextItem(size, type)) {
    if (type == kDragItemFile && size > 0) {
      utf8Path.assign(static_cast<const char*>(item), static_cast<size_t>(size));
      return true;
    }
  }
  return false;
}

// Asked on every move of the drag: the item types are enough, the paths are read at the drop.
bool ControlsguiFrame::acceptsDrop(CDragContainer* drag, CPos where) {
  if (drag != nullptr) {
    for (int32_t k = 0, n = drag->getItemCount(); k < n; ++k) {
      if (drag->getItemType(k) == kDragItemFile) return true;
    }
  }
  return CFrame::acceptsDrop(drag, where);
}

bool ControlsguiFrame::onDrop(CDragContainer* drag, CPos where) {
  std::string path;
  if (!firstFile(drag, path)) return CFrame::onDrop(drag, where);
  if (handlers.fileDropped) handlers.fileDropped(path);
  return true;
}
