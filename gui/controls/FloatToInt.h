// Truncation toward zero that is defined for every float. A plain cast of a value that is
// not a number or lies outside the int32 range is undefined behaviour, and controls get
// values from the host, which may send anything.
#pragma once

#include <cstdint>
#include <limits>

namespace VSTGUI {

inline int32_t truncateToInt(float v, int32_t nanResult = 0) {
  if (v != v) return nanResult;
  if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();  // largest float < 2^31
  if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace VSTGUI
