// The transformers and the filter capacitor standing on the deck.
#include <cmath>

#include "tools/art/ChassisParts.h"
#include "tools/art/PanelLayout.h"

namespace art {
namespace chassis {

namespace {

// A can or transformer body: a cylinder in black crinkle paint, lit from the upper left.
void blackCylinder(cairo_t* cr, double x, double top, double w, double bottom) {
  footShadow(cr, x + w / 2, w / 2);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
  addStop(p, 0, {0.05, 0.05, 0.05});
  addStop(p, 0.28, {0.30, 0.30, 0.31});
  addStop(p, 0.5, {0.15, 0.15, 0.16});
  addStop(p, 1, {0.03, 0.03, 0.03});
  cairo_rectangle(cr, x, top + 5, w, bottom - top - 5);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The top seen a little from above.
  cairo_save(cr);
  cairo_translate(cr, x + w / 2, top + 5);
  cairo_scale(cr, w / 2, 5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgb(cr, 0.36, 0.36, 0.37);
  cairo_fill(cr);
  // Crinkle finish: a fine dark and light speckle.
  for (int yy = static_cast<int>(top) + 8; yy < bottom; yy += 2) {
    for (int xx = static_cast<int>(x) + 1; xx < x + w - 1; xx += 2) {
      double n = hashUnit(xx, yy, 901);
      if (n < 0.2) {
        cairo_rectangle(cr, xx, yy, 1, 1);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
      } else if (n > 0.85) {
        cairo_rectangle(cr, xx, yy, 1, 1);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
        cairo_fill(cr);
      }
    }
  }
}

}  // namespace

void inputTransformer(cairo_t* cr, const FontSet& fonts) {
  const Box& m = layout::kInputMenu;
  const double cx = m.cx(), w = 96, top = 138;
  blackCylinder(cr, cx - w / 2, top, w, kFloor);
  // Mounting band with its clamp screw.
  cairo_rectangle(cr, cx - w / 2, top + 200, w, 12);
  cairo_pattern_t* band = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
  addStop(band, 0, {0.3, 0.3, 0.32});
  addStop(band, 0.3, {0.85, 0.86, 0.88});
  addStop(band, 1, {0.2, 0.2, 0.22});
  cairo_set_source(cr, band);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  screw(cr, cx, top + 206, 3.5, 0.2);
  const double px = m.x - 9, py = m.y - 36, pw = m.w + 18, ph = m.h + 44;
  plate(cr, px, py, pw, ph, true);
  plateText(cr, fonts, cx, py + 12, "INPUT", true, 9.5);
  plateText(cr, fonts, cx, py + 23, "TRANSFORMER", true, 8.5, 0.3);
  cairo_rectangle(cr, px + 6, py + 28, pw - 12, 0.8);
  cairo_set_source_rgba(cr, 0.2, 0.15, 0.1, 0.6);
  cairo_fill(cr);
  screw(cr, px + 5, py + ph - 5, 2.2, 0.5);
  screw(cr, px + pw - 5, py + ph - 5, 2.2, 1.4);
  // No room beside the text on this narrow plate: the menu's arrow sits under it.
  menuArrow(cr, cx, m.y + m.h + 3.5, {0.2, 0.15, 0.1}, 0.75);
}

void outputTransformer(cairo_t* cr, const FontSet& fonts) {
  const Box& m = layout::kOutputMenu;
  const double cx = m.cx(), w = 184, x = cx - w / 2;
  const double bellTop = 120, bellBottom = 222, stackBottom = 352;
  footShadow(cr, cx, w / 2);
  // The lamination stack between the bells: thin steel sheets, edge on.
  cairo_rectangle(cr, x + 10, bellBottom - 4, w - 20, stackBottom - bellBottom + 8);
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
  cairo_fill(cr);
  for (double yy = bellBottom - 3; yy < stackBottom + 4; yy += 2.0) {
    cairo_rectangle(cr, x + 10, yy, w - 20, 0.8);
    double n = hashUnit(static_cast<int32_t>(yy * 2), 3, 55);
    cairo_set_source_rgba(cr, 0.6, 0.6, 0.62, 0.18 + 0.12 * n);
    cairo_fill(cr);
  }
  cairo_pattern_t* side = cairo_pattern_create_linear(x + 10, 0, x + w - 10, 0);
  addStop(side, 0, {0, 0, 0}, 0.5);
  addStop(side, 0.3, {1, 1, 1}, 0.08);
  addStop(side, 1, {0, 0, 0}, 0.6);
  cairo_set_source(cr, side);
  cairo_rectangle(cr, x + 10, bellBottom - 4, w - 20, stackBottom - bellBottom + 8);
  cairo_fill(cr);
  cairo_pattern_destroy(side);
  // Bell covers top and bottom, black.
  auto bell = [&](double top, double bottom) {
    roundedRect(cr, x, top, w, bottom - top, 8);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
    addStop(p, 0, {0.04, 0.04, 0.04});
    addStop(p, 0.25, {0.27, 0.27, 0.28});
    addStop(p, 0.55, {0.12, 0.12, 0.13});
    addStop(p, 1, {0.03, 0.03, 0.03});
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_rectangle(cr, x + 4, top + 1, w - 8, 1.2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_fill(cr);
  };
  bell(bellTop, bellBottom);
  bell(stackBottom, kFloor);
  // Through-bolts at the corners of the stack.
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      screw(cr, x + 16 + i * (w - 32), (j == 0 ? bellTop + 12 : kFloor - 12), 4.0, 0.5 + i + j);
    }
  }
  const double px = m.x - 14, py = m.y - 36, pw = m.w + 28, ph = m.h + 42;
  plate(cr, px, py, pw, ph, true);
  plateText(cr, fonts, cx, py + 12, "OUTPUT", true, 9.5);
  plateText(cr, fonts, cx, py + 23, "TRANSFORMER", true, 8.5);
  cairo_rectangle(cr, px + 6, py + 28, pw - 12, 0.8);
  cairo_set_source_rgba(cr, 0.2, 0.15, 0.1, 0.6);
  cairo_fill(cr);
  screw(cr, px + 5, py + ph - 5, 2.2, 0.5);
  screw(cr, px + pw - 5, py + ph - 5, 2.2, 1.4);
  menuArrow(cr, m.x + m.w + 6, m.cy(), {0.2, 0.15, 0.1}, 0.75);
}

void capacitorCan(cairo_t* cr, const FontSet& fonts, double cx, double top, double w) {
  footShadow(cr, cx, w / 2);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
  addStop(p, 0, {0.35, 0.36, 0.38});
  addStop(p, 0.25, {0.92, 0.93, 0.94});
  addStop(p, 0.5, {0.62, 0.63, 0.65});
  addStop(p, 1, {0.25, 0.26, 0.28});
  cairo_rectangle(cr, cx - w / 2, top + 4, w, kFloor - top - 4);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_translate(cr, cx, top + 4);
  cairo_scale(cr, w / 2, 4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgb(cr, 0.7, 0.71, 0.72);
  cairo_fill(cr);
  // A printed paper sleeve.
  cairo_rectangle(cr, cx - w / 2, top + 40, w, 62);
  cairo_pattern_t* s = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
  addStop(s, 0, {0.25, 0.08, 0.06});
  addStop(s, 0.3, {0.62, 0.18, 0.12});
  addStop(s, 1, {0.18, 0.05, 0.04});
  cairo_set_source(cr, s);
  cairo_fill(cr);
  cairo_pattern_destroy(s);
  cairo_set_source_rgba(cr, 0.95, 0.9, 0.8, 0.9);
  fonts.path(cr, Face::kNarrowBold, 9, cx, top + 60, "50+50", Align::kCenter);
  fonts.path(cr, Face::kNarrowBold, 9, cx, top + 72,
             "\xc2\xb5"
             "F",
             Align::kCenter);
  fonts.path(cr, Face::kNarrowBold, 9, cx, top + 90, "500V", Align::kCenter);
  cairo_fill(cr);
}

}  // namespace chassis
}  // namespace art
