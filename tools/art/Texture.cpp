#include "tools/art/Texture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

namespace {

uint32_t pack(double r, double g, double b) {
  auto byte = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
  return 0xff000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// An opaque surface whose pixel (x, y) is pixel(x, y), packed.
template <typename Pixel>
cairo_surface_t* opaqueSurface(int width, int height, Pixel pixel) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  uint8_t* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
  }
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace

cairo_surface_t* tolexTexture(int width, int height, uint32_t seed) {
  // Height field: fine pebbles on a slower undulation.
  std::vector<double> h(static_cast<size_t>(width + 2) * (height + 2));
  for (int y = 0; y < height + 2; ++y) {
    for (int x = 0; x < width + 2; ++x) {
      double fine = valueNoise(x, y, 2.3, seed);
      double mid = valueNoise(x, y, 5.5, seed + 1);
      h[static_cast<size_t>(y) * (width + 2) + x] = fine * 0.65 + mid * 0.35;
    }
  }
  auto at = [&](int ax, int ay) { return h[static_cast<size_t>(ay) * (width + 2) + ax]; };
  return opaqueSurface(width, height, [&](int x, int y) {
    // Emboss: the slope towards the light (upper left) brightens, away from it darkens.
    double slope = at(x, y) - at(x + 2, y + 2);
    double v = 0.085 + slope * 0.10 + (at(x + 1, y + 1) - 0.5) * 0.03;
    return pack(v, v, v * 1.03);
  });
}

cairo_surface_t* brushedTexture(int width, int height, Rgb base, double amount, bool vertical,
                                uint32_t seed) {
  return opaqueSurface(width, height, [&](int x, int y) {
    double along = vertical ? y : x, across = vertical ? x : y;
    // Streaks: noise stretched 80 times along the brushing direction, two scales.
    double a = valueNoise(along / 80.0, across, 1.0, seed);
    double b = valueNoise(along / 25.0, across * 2.0, 1.0, seed + 7);
    double k = 1.0 + amount * ((a - 0.5) * 1.4 + (b - 0.5) * 0.8);
    return pack(base.r * k, base.g * k, base.b * k);
  });
}

}  // namespace art
