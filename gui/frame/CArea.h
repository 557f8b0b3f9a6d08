// A rectangle in integer pixels: left, top, right, bottom. Views keep their bounds in their
// parent's coordinates; a drawing context keeps its clip in device coordinates.
#pragma once

#include <algorithm>
#include <cstdint>

#include "gui/frame/CPos.h"

namespace VSTGUI {

struct CArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr CArea() = default;
  constexpr CArea(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

  constexpr int32_t getWidth() const { return right - left; }
  constexpr int32_t getHeight() const { return bottom - top; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }
  constexpr CPos getTopLeft() const { return CPos(left, top); }

  CArea& offset(int32_t dx, int32_t dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }

  // Intersection. A disjoint pair collapses to an empty area at the clamped corner instead
  // of an inverted one, so later width/height arithmetic never goes negative.
  CArea& intersect(const CArea& o) {
    left = std::max(left, o.left);
    top = std::max(top, o.top);
    right = std::min(right, o.right);
    bottom = std::min(bottom, o.bottom);
    if (bottom < top) bottom = top;
    if (right < left) right = left;
    return *this;
  }

  // Point test with both edges inclusive, as the hit tests of the view tree want it.
  constexpr bool containsInclusive(const CPos& p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  }

  constexpr bool operator==(const CArea& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  constexpr bool operator!=(const CArea& o) const { return !(*this == o); }
};

inline CArea intersection(CArea a, const CArea& b) {
  return a.intersect(b);
}

}  // namespace VSTGUI
