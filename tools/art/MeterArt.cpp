#include "tools/art/MeterArt.h"

#include <cmath>
#include <cstdio>

#include "resources/ResourceIds.h"
#include "tools/art/Paint.h"

namespace art {

namespace {

constexpr int kW = KORVALITE_RES_VU_WIDTH;
constexpr int kH = KORVALITE_RES_VU_FRAME_HEIGHT;
constexpr int kFrames = KORVALITE_RES_VU_FRAMES;

// The face's window inside the bezel, and the needle's pivot below the visible face.
constexpr double kFaceX = 6, kFaceY = 6, kFaceW = kW - 12, kFaceH = kH - 13;
constexpr double kPivotX = kW / 2.0, kPivotY = 98;
constexpr double kHalfSweep = 40.0 * kPi / 180.0;
constexpr double kScaleR = 60, kLabelR = 70, kNeedleR = 75;

double px(double r, double a) {
  return kPivotX + r * std::sin(a);
}
double py(double r, double a) {
  return kPivotY - r * std::cos(a);
}

void bezel(cairo_t* cr) {
  // Black moulded case with a lit upper-left bevel and a darker lower-right one.
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, kW * 0.4, kH);
  addStop(p, 0, {0.26, 0.26, 0.27});
  addStop(p, 0.45, {0.10, 0.10, 0.11});
  addStop(p, 1, {0.04, 0.04, 0.04});
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
  cairo_move_to(cr, 0.5, kH - 0.5);
  cairo_line_to(cr, 0.5, 0.5);
  cairo_line_to(cr, kW - 0.5, 0.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_move_to(cr, kW - 0.5, 0.5);
  cairo_line_to(cr, kW - 0.5, kH - 0.5);
  cairo_line_to(cr, 0.5, kH - 0.5);
  cairo_stroke(cr);
  // Corner screws of the case.
  screw(cr, 3.2, 3.2, 1.9, 0.6);
  screw(cr, kW - 3.2, 3.2, 1.9, 2.1);
  screw(cr, 3.2, kH - 3.6, 1.9, 1.2);
  screw(cr, kW - 3.2, kH - 3.6, 1.9, 2.7);
}

void face(cairo_t* cr) {
  // Warm backlight: two lamps behind the lower face, fading to the corners.
  roundedRect(cr, kFaceX, kFaceY, kFaceW, kFaceH, 3);
  cairo_set_source_rgb(cr, 0.80, 0.62, 0.30);
  cairo_fill_preserve(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(kPivotX, kFaceY + kFaceH * 0.72, 4, kPivotX,
                                                   kFaceY + kFaceH * 0.6, kFaceW * 0.62);
  addStop(p, 0, {1.0, 0.95, 0.74});
  addStop(p, 0.55, {0.98, 0.86, 0.56});
  addStop(p, 1, {0.80, 0.60, 0.28});
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void printScale(cairo_t* cr, const FontSet& fonts, const std::string& channel) {
  const Rgb ink{0.10, 0.08, 0.06}, red{0.75, 0.08, 0.05};
  auto angleOf = [](double pos) { return -kHalfSweep + 2 * kHalfSweep * pos; };
  // The arc: black up to -6 dB, a heavier red band above.
  const double a0 = angleOf(dbPosition(-6));
  cairo_set_line_width(cr, 1.0);
  setColor(cr, ink);
  cairo_arc(cr, kPivotX, kPivotY, kScaleR, -kPi / 2 - kHalfSweep, -kPi / 2 + a0);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 3.0);
  setColor(cr, red);
  cairo_arc(cr, kPivotX, kPivotY, kScaleR + 1.5, -kPi / 2 + a0, -kPi / 2 + kHalfSweep);
  cairo_stroke(cr);

  // Numbered every 12 dB, with ticks every 6 dB between.
  for (int db = -72; db <= 0; db += 6) {
    const double a = angleOf(dbPosition(db));
    const bool major = db % 12 == 0;
    setColor(cr, db > -6 ? red : ink);
    cairo_set_line_width(cr, major ? 1.1 : 0.7);
    cairo_move_to(cr, px(kScaleR, a), py(kScaleR, a));
    cairo_line_to(cr, px(kScaleR + (major ? 5.5 : 3.0), a), py(kScaleR + (major ? 5.5 : 3.0), a));
    cairo_stroke(cr);
    if (!major) continue;
    fonts.path(cr, Face::kNarrowBold, 7.5, px(kLabelR, a), py(kLabelR, a) + 2.6, std::to_string(-db),
               Align::kCenter);
    cairo_fill(cr);
  }
  // The legend and the channel.
  setColor(cr, ink);
  fonts.path(cr, Face::kSerifBoldItalic, 15, kPivotX, kFaceY + 52, "dB", Align::kCenter);
  cairo_fill(cr);
  setColor(cr, ink, 0.75);
  fonts.path(cr, Face::kNarrowBold, 5.5, kFaceX + 6, kFaceY + kFaceH - 12, channel, Align::kLeft, 0.6);
  cairo_fill(cr);
  fonts.path(cr, Face::kNarrowBold, 5.5, kFaceX + kFaceW - 6, kFaceY + kFaceH - 12, "KORVALITE",
             Align::kRight, 0.4);
  cairo_fill(cr);
}

// The black shroud that hides the needle's pivot at the bottom of the face.
void shroud(cairo_t* cr) {
  cairo_save(cr);
  roundedRect(cr, kFaceX, kFaceY, kFaceW, kFaceH, 3);
  cairo_clip(cr);
  cairo_arc(cr, kPivotX, kPivotY + 4, 30, 0, 2 * kPi);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, kPivotY - 28, 0, kH);
  addStop(p, 0, {0.22, 0.21, 0.20});
  addStop(p, 0.3, {0.08, 0.08, 0.08});
  addStop(p, 1, {0.02, 0.02, 0.02});
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  cairo_arc(cr, kPivotX, kPivotY + 4, 29.6, -kPi * 0.85, -kPi * 0.15);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void needle(cairo_t* cr, double a) {
  cairo_save(cr);
  roundedRect(cr, kFaceX, kFaceY, kFaceW, kFaceH, 3);
  cairo_clip(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  // The needle stands a little off the face: its shadow falls down and to the right.
  cairo_set_source_rgba(cr, 0.25, 0.15, 0.02, 0.28);
  cairo_set_line_width(cr, 1.8);
  cairo_move_to(cr, px(20, a) + 1.6, py(20, a) + 2.2);
  cairo_line_to(cr, px(kNeedleR, a) + 1.6, py(kNeedleR, a) + 2.2);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.06, 0.05, 0.05);
  cairo_set_line_width(cr, 1.1);
  cairo_move_to(cr, px(20, a), py(20, a));
  cairo_line_to(cr, px(kNeedleR, a), py(kNeedleR, a));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void glass(cairo_t* cr) {
  // A soft reflection across the upper half of the window and a shadow under the bezel lip.
  cairo_save(cr);
  roundedRect(cr, kFaceX, kFaceY, kFaceW, kFaceH, 3);
  cairo_clip(cr);
  cairo_move_to(cr, kFaceX, kFaceY);
  cairo_line_to(cr, kFaceX + kFaceW, kFaceY);
  cairo_line_to(cr, kFaceX + kFaceW, kFaceY + 12);
  cairo_curve_to(cr, kFaceX + kFaceW * 0.6, kFaceY + 26, kFaceX + kFaceW * 0.3, kFaceY + 30, kFaceX,
                 kFaceY + 40);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, kFaceY, 0, kFaceY + 40);
  addStop(p, 0, {1, 1, 1}, 0.16);
  addStop(p, 1, {1, 1, 1}, 0.02);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
  roundedRect(cr, kFaceX, kFaceY, kFaceW, kFaceH, 3);
  cairo_set_line_width(cr, 2.4);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_stroke(cr);
  roundedRect(cr, kFaceX - 1, kFaceY - 1, kFaceW + 2, kFaceH + 2, 4);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_stroke(cr);
}

}  // namespace

double meterDeflection(double value) {
  return -kHalfSweep + 2 * kHalfSweep * value;
}

double dbPosition(double db) {
  return (db + 72.0) / 72.0;
}

cairo_surface_t* renderMeterStrip(const FontSet& fonts, const std::string& channel, int scale, int first,
                                  int count) {
  // Everything but the needle is the same in every frame.
  cairo_surface_t* back = createPicture(kW, kH, scale);
  cairo_t* bc = cairo_create(back);
  bezel(bc);
  face(bc);
  printScale(bc, fonts, channel);
  cairo_destroy(bc);
  cairo_surface_t* front = createPicture(kW, kH, scale);
  cairo_t* fc = cairo_create(front);
  shroud(fc);
  glass(fc);
  cairo_destroy(fc);

  cairo_surface_t* strip = createPicture(kW, kH * count, scale);
  cairo_t* cr = cairo_create(strip);
  for (int f = first; f < first + count; ++f) {
    cairo_save(cr);
    cairo_translate(cr, 0, static_cast<double>(f - first) * kH);
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_clip(cr);
    cairo_set_source_surface(cr, back, 0, 0);
    cairo_paint(cr);
    needle(cr, meterDeflection(static_cast<double>(f) / (kFrames - 1)));
    cairo_set_source_surface(cr, front, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(back);
  cairo_surface_destroy(front);
  return strip;
}

}  // namespace art
