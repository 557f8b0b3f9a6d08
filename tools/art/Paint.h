// Small drawing helpers shared by every picture: colours, shapes, soft shadows and the
// deterministic noise the textures are made of.
#ifndef KORVALITE_TOOLS_ART_PAINT_H
#define KORVALITE_TOOLS_ART_PAINT_H

#include <cairo.h>

#include <cmath>
#include <cstdint>

namespace art {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t);
Rgb scale(Rgb c, double k);
void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// A number in [0, 1) that depends only on its arguments, so every run draws the same grain.
double hashUnit(int32_t x, int32_t y, uint32_t seed);
// Smoothly interpolated value noise in [0, 1) with features about `cell` pixels apart.
double valueNoise(double x, double y, double cell, uint32_t seed);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Every picture is drawn in the units of its 1x size; a picture at `scale` 2 has twice as many
// pixels each way and Cairo's device scale maps those units onto them, so the same drawing
// code gives the finer picture. The scale travels with the surface: the passes that work on
// pixels (blurs, textures) read it from there.
cairo_surface_t* createPicture(int width, int height, int scale);
int pictureScale(cairo_surface_t* s);

// Blurs a picture in place (three box passes approximate a Gaussian of about `radius` units of
// its 1x size). Works on every channel, so premultiplied colour stays consistent.
void blurSurface(cairo_surface_t* s, int radius);

// Paints `shape` as a soft shadow onto `cr`: `shape` receives a scratch context and fills
// the silhouette in its current source; the silhouette is blurred and painted at the offset
// with `alpha`. Only the silhouette's bounding box (plus the blur's reach) is processed.
template <typename Shape>
void softShadow(cairo_t* cr, double dx, double dy, int blur, double alpha, Shape shape) {
  // First pass on a recording surface, just to learn where the silhouette lies.
  cairo_surface_t* rec = cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr);
  cairo_t* rc = cairo_create(rec);
  shape(rc);
  cairo_destroy(rc);
  double ex, ey, ew, eh;
  cairo_recording_surface_ink_extents(rec, &ex, &ey, &ew, &eh);
  cairo_surface_destroy(rec);
  if (ew <= 0 || eh <= 0) return;
  const int margin = blur * 2 + 2;
  const int x0 = static_cast<int>(std::floor(ex)) - margin, y0 = static_cast<int>(std::floor(ey)) - margin;
  const int w = static_cast<int>(std::ceil(ex + ew)) + margin - x0;
  const int h = static_cast<int>(std::ceil(ey + eh)) + margin - y0;
  cairo_surface_t* s = createPicture(w, h, pictureScale(cairo_get_target(cr)));
  cairo_t* sc = cairo_create(s);
  cairo_translate(sc, -x0, -y0);
  cairo_set_source_rgb(sc, 0, 0, 0);
  shape(sc);
  cairo_destroy(sc);
  blurSurface(s, blur);
  cairo_save(cr);
  cairo_set_source_surface(cr, s, x0 + dx, y0 + dy);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

// A screw head: slotted, lit from the upper left.
void screw(cairo_t* cr, double x, double y, double r, double slotAngle);

// The small arrow pointing down that marks a plate as a menu, centred on (x, y).
void menuArrow(cairo_t* cr, double x, double y, Rgb color, double alpha);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_PAINT_H
