// A colour of four bytes; alpha 255 is opaque. GDI+ takes it as one ARGB word.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CRgbaColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;

  constexpr CRgbaColor() = default;
  constexpr CRgbaColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
      : red(r), green(g), blue(b), alpha(a) {}

  constexpr uint32_t toArgb() const {
    return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
  }
  constexpr bool operator==(const CRgbaColor& o) const {
    return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
  }
  constexpr bool operator!=(const CRgbaColor& o) const { return !(*this == o); }
};

inline constexpr CRgbaColor kTransparentCColor(255, 255, 255, 0);
inline constexpr CRgbaColor kBlackCColor(0, 0, 0, 255);
inline constexpr CRgbaColor kWhiteCColor(255, 255, 255, 255);
inline constexpr CRgbaColor kGreyCColor(127, 127, 127, 255);
inline constexpr CRgbaColor kRedCColor(255, 0, 0, 255);
inline constexpr CRgbaColor kGreenCColor(0, 255, 0, 255);
inline constexpr CRgbaColor kBlueCColor(0, 0, 255, 255);
inline constexpr CRgbaColor kYellowCColor(255, 255, 0, 255);
inline constexpr CRgbaColor kCyanCColor(0, 255, 255, 255);
inline constexpr CRgbaColor kMagentaCColor(255, 0, 255, 255);

}  // namespace VSTGUI
