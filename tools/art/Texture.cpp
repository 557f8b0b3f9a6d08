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

// Where the centre of pixel i of a picture at `scale` lies, in 1x pixel units (1x pixel
// centres at whole numbers): i itself at 1x.
double unitsAt(int i, int scale) {
  return (i + 0.5) / scale - 0.5;
}

// An opaque picture whose pixel (x, y) is pixel(x, y), packed.
template <typename Pixel>
cairo_surface_t* opaqueSurface(int width, int height, int scale, Pixel pixel) {
  cairo_surface_t* s = createPicture(width, height, scale);
  uint8_t* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < height * scale; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width * scale; ++x) row[x] = pixel(x, y);
  }
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace

cairo_surface_t* tolexTexture(int width, int height, int scale, uint32_t seed) {
  // Height field: fine pebbles on a slower undulation, sampled at every pixel and two 1x
  // pixels beyond, where the emboss looks.
  const int w = (width + 2) * scale, h = (height + 2) * scale;
  std::vector<double> field(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double u = unitsAt(x, scale), v = unitsAt(y, scale);
      double fine = valueNoise(u, v, 2.3, seed);
      double mid = valueNoise(u, v, 5.5, seed + 1);
      field[static_cast<size_t>(y) * w + x] = fine * 0.65 + mid * 0.35;
    }
  }
  auto at = [&](int ax, int ay) { return field[static_cast<size_t>(ay) * w + ax]; };
  return opaqueSurface(width, height, scale, [&](int x, int y) {
    // Emboss: the slope towards the light (upper left) brightens, away from it darkens.
    double slope = at(x, y) - at(x + 2 * scale, y + 2 * scale);
    double v = 0.085 + slope * 0.10 + (at(x + scale, y + scale) - 0.5) * 0.03;
    return pack(v, v, v * 1.03);
  });
}

cairo_surface_t* brushedTexture(int width, int height, int scale, Rgb base, double amount, bool vertical,
                                uint32_t seed) {
  return opaqueSurface(width, height, scale, [&](int x, int y) {
    // Along the brushing the streaks keep their length in 1x units; across it every pixel
    // column draws its own streak, as at 1x, so the hairlines stay a pixel wide and as crisp.
    double along = unitsAt(vertical ? y : x, scale), across = vertical ? x : y;
    // Streaks: noise stretched 80 times along the brushing direction, two scales.
    double a = valueNoise(along / 80.0, across, 1.0, seed);
    double b = valueNoise(along / 25.0, across * 2.0, 1.0, seed + 7);
    double k = 1.0 + amount * ((a - 0.5) * 1.4 + (b - 0.5) * 0.8);
    return pack(base.r * k, base.g * k, base.b * k);
  });
}

}  // namespace art
