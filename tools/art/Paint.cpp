#include "tools/art/Paint.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace art {

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, double k) {
  return {c.r * k, c.g * k, c.b * k};
}

void setColor(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

double hashUnit(int32_t x, int32_t y, uint32_t seed) {
  // A 32-bit integer mix (after Wang and Jenkins): no floating point until the last step.
  uint32_t h =
      static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return (h >> 8) * (1.0 / 16777216.0);
}

double valueNoise(double x, double y, double cell, uint32_t seed) {
  double fx = x / cell, fy = y / cell;
  double ix = std::floor(fx), iy = std::floor(fy);
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  int32_t x0 = static_cast<int32_t>(ix), y0 = static_cast<int32_t>(iy);
  double a = hashUnit(x0, y0, seed), b = hashUnit(x0 + 1, y0, seed);
  double c = hashUnit(x0, y0 + 1, seed), d = hashUnit(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

namespace {

// One box pass along rows (step 1) or columns (step = stride in pixels).
void boxPass(uint32_t* px, int count, int lines, int step, int lineStep, int r) {
  std::vector<uint32_t> line(count);
  for (int l = 0; l < lines; ++l) {
    uint32_t* base = px + static_cast<size_t>(l) * lineStep;
    for (int i = 0; i < count; ++i) line[i] = base[static_cast<size_t>(i) * step];
    for (int ch = 0; ch < 4; ++ch) {
      int shift = ch * 8;
      int sum = 0;
      auto at = [&](int i) -> int {
        if (i < 0 || i >= count) return 0;
        return static_cast<int>((line[i] >> shift) & 0xff);
      };
      for (int i = -r; i <= r; ++i) sum += at(i);
      int n = 2 * r + 1;
      for (int i = 0; i < count; ++i) {
        uint32_t v = static_cast<uint32_t>((sum + n / 2) / n);
        uint32_t& out = base[static_cast<size_t>(i) * step];
        out = (out & ~(0xffu << shift)) | (v << shift);
        sum += at(i + r + 1) - at(i - r);
      }
    }
  }
}

}  // namespace

cairo_surface_t* createPicture(int width, int height, int scale) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale);
  cairo_surface_set_device_scale(s, scale, scale);
  return s;
}

int pictureScale(cairo_surface_t* s) {
  double sx = 1, sy = 1;
  cairo_surface_get_device_scale(s, &sx, &sy);
  return static_cast<int>(std::lround(sx));
}

void blurSurface(cairo_surface_t* s, int radius) {
  if (radius <= 0) return;
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s) / 4;
  uint32_t* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
  // A box of radius q has the variance q (q + 1) / 3. At 1x all three passes take r; a finer
  // picture needs scale^2 times the total variance for the same softness, which whole boxes
  // reach closest with some passes of radius q and the others of q + 1.
  const int r = (radius + 1) / 2, scale = pictureScale(s);
  const long target = 3L * scale * scale * r * (r + 1);
  int q = r * scale;
  while (static_cast<long>(q + 1) * (q + 2) <= target / 3) ++q;
  while (q > 0 && static_cast<long>(q) * (q + 1) > target / 3) --q;
  int wider = 0;
  for (int k = 1; k <= 3; ++k) {
    long sum = static_cast<long>(3 - k) * q * (q + 1) + static_cast<long>(k) * (q + 1) * (q + 2);
    long best = static_cast<long>(3 - wider) * q * (q + 1) + static_cast<long>(wider) * (q + 1) * (q + 2);
    if (std::labs(sum - target) < std::labs(best - target)) wider = k;
  }
  for (int pass = 0; pass < 3; ++pass) {
    const int radiusOfPass = pass < wider ? q + 1 : q;
    boxPass(px, w, h, 1, stride, radiusOfPass);
    boxPass(px, h, w, stride, 1, radiusOfPass);
  }
  cairo_surface_mark_dirty(s);
}

void menuArrow(cairo_t* cr, double x, double y, Rgb color, double alpha) {
  cairo_move_to(cr, x - 3.5, y - 2);
  cairo_line_to(cr, x + 3.5, y - 2);
  cairo_line_to(cr, x, y + 2);
  cairo_close_path(cr);
  setColor(cr, color, alpha);
  cairo_fill(cr);
}

void screw(cairo_t* cr, double x, double y, double r, double slotAngle) {
  softShadow(cr, 1.0, 1.5, 2, 0.6, [&](cairo_t* c) {
    cairo_arc(c, x, y, r, 0, 2 * kPi);
    cairo_fill(c);
  });
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.4, y - r * 0.5, r * 0.1, x, y, r);
  addStop(p, 0, {0.92, 0.92, 0.90});
  addStop(p, 0.6, {0.62, 0.62, 0.60});
  addStop(p, 1, {0.30, 0.30, 0.30});
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The slot: a dark groove with a lit lower edge.
  double c = std::cos(slotAngle) * r * 0.85, s = std::sin(slotAngle) * r * 0.85;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_width(cr, r * 0.32);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_move_to(cr, x - c + 0.4, y - s + 0.6);
  cairo_line_to(cr, x + c + 0.4, y + s + 0.6);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 0.08, 0.08, 0.08, 0.9);
  cairo_move_to(cr, x - c, y - s);
  cairo_line_to(cr, x + c, y + s);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 0.6);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_arc(cr, x, y, r - 0.3, 0, 2 * kPi);
  cairo_stroke(cr);
}

}  // namespace art
