// A point in integer pixels. Shared by every part of the toolkit.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CPos {
  int32_t x = 0;
  int32_t y = 0;

  constexpr CPos() = default;
  constexpr CPos(int32_t px, int32_t py) : x(px), y(py) {}

  CPos& offset(int32_t dx, int32_t dy) {
    x += dx;
    y += dy;
    return *this;
  }
  constexpr bool operator==(const CPos& o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(const CPos& o) const { return !(*this == o); }
};

}  // namespace VSTGUI
