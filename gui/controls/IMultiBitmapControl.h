// The interface of controls drawn from a film strip: one bitmap of equal-height frames
// stacked top to bottom.
#pragma once

#include <cstdint>

namespace VSTGUI {

class IMultiBitmapControl {
 public:
  virtual ~IMultiBitmapControl() = default;
  // Also derives the frame count from the strip's height when there is a strip.
  virtual void setFrameHeight(int32_t height) = 0;
  virtual int32_t getFrameHeight() const = 0;
  // Frame height := the view's own height.
  virtual void fitFrameHeightToView() = 0;
};

}  // namespace VSTGUI
