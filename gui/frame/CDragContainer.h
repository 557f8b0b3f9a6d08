// The items of a drag in progress, offered to views as bytes (UTF-8 paths or text).
#pragma once

#include <cstdint>

#include "gui/frame/CBaseObject.h"

namespace VSTGUI {

enum CDragItemType : int32_t {
  kDragItemFile = 0,
  kDragItemText = 1,
  kDragItemUtf8Text = 2,
  kDragItemUnknown = -1,
  kDragItemError = -2,
};

class CDragContainer : public CBaseObject {
 public:
  virtual void* firstItem(int32_t& size, int32_t& type) = 0;
  virtual void* nextItem(int32_t& size, int32_t& type) = 0;
  virtual int32_t getItemType(int32_t index) = 0;
  virtual int32_t getItemCount() = 0;
};

}  // namespace VSTGUI
