// Mouse results, the button/modifier word and wheel axes that every view uses.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CMouseEventResult : int32_t {
  kMouseFallback = 0,           // not implemented by the view: the caller falls back to trackMouse
  kMouseHandled = 1,            // handled; the view gets the following moves and the release
  kMouseIgnored = 2,            // not handled
  kMouseHandledNoTracking = 3,  // handled, but no following moves/release and no pointer capture
};

using CButtonState = uint32_t;

enum : uint32_t {
  kButtonLeft = 0x2,
  kButtonMiddle = 0x4,
  kButtonRight = 0x8,
  kModShift = 0x10,
  kModControl = 0x20,
  kModAlt = 0x40,
  kButton4 = 0x100,
  kButton5 = 0x200,
  kDoubleClick = 0x400,
};

enum CMouseWheelAxis : int32_t { kWheelHorizontal = 0, kWheelVertical = 1 };

// Virtual key and modifier of the host's key record that the toolkit itself interprets.
inline constexpr unsigned char kVirtualKeyTab = 2;
inline constexpr unsigned char kKeyModifierShift = 0x1;

}  // namespace VSTGUI
