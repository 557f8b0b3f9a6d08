#include "tools/art/ChassisArt.h"

#include <cmath>

#include "tools/art/ChassisParts.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/Texture.h"

namespace art {

namespace {

using namespace chassis;

constexpr int kW = layout::kWidth;
constexpr int kH = layout::kHeight;

void wall(cairo_t* cr, double x, double y, double w) {
  cairo_surface_t* steel =
      brushedTexture(kW, kH, pictureScale(cairo_get_target(cr)), {0.33, 0.34, 0.35}, 0.10, true, 77);
  cairo_set_source_surface(cr, steel, 0, 0);
  cairo_rectangle(cr, x, y, w, kDeckTop - y);
  cairo_fill(cr);
  cairo_surface_destroy(steel);
  // Darker towards the top: the light inside the cabinet comes from the valves.
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, kDeckTop);
  addStop(p, 0, {0, 0, 0}, 0.55);
  addStop(p, 0.6, {0, 0, 0}, 0.15);
  addStop(p, 1, {0, 0, 0}, 0.35);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, x, y, w, kDeckTop - y);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A grid of ventilation louvres pressed into the back wall: each a dark slot whose lower lip
// catches the light.
void louvres(cairo_t* cr, double x0, double y0, int columns, int rows) {
  const double w = 38, h = 5, dxStep = 48, dyStep = 15;
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      double x = x0 + i * dxStep, y = y0 + j * dyStep;
      roundedRect(cr, x, y + 1.2, w, h, 2.5);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
      cairo_fill(cr);
      roundedRect(cr, x, y, w, h, 2.5);
      cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
      addStop(p, 0, {0.01, 0.01, 0.01});
      addStop(p, 1, {0.10, 0.10, 0.11});
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
  }
}

void deck(cairo_t* cr, double x, double y, double w, double h) {
  const int scale = pictureScale(cairo_get_target(cr));
  cairo_surface_t* top = brushedTexture(kW, kH, scale, {0.62, 0.63, 0.64}, 0.08, false, 78);
  cairo_set_source_surface(cr, top, 0, 0);
  cairo_rectangle(cr, x, kDeckTop, w, kDeckFront - kDeckTop);
  cairo_fill(cr);
  cairo_surface_destroy(top);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, kDeckTop, 0, kDeckFront);
  addStop(p, 0, {0, 0, 0}, 0.45);
  addStop(p, 1, {1, 1, 1}, 0.10);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, x, kDeckTop, w, kDeckFront - kDeckTop);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The front lip, folded down: a lit edge, then the vertical face in shade.
  cairo_surface_t* lip = brushedTexture(kW, kH, scale, {0.50, 0.51, 0.52}, 0.09, false, 79);
  cairo_set_source_surface(cr, lip, 0, 0);
  cairo_rectangle(cr, x, kDeckFront, w, y + h - kDeckFront);
  cairo_fill(cr);
  cairo_surface_destroy(lip);
  cairo_rectangle(cr, x, kDeckFront, w, 1.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
  cairo_fill(cr);
  cairo_pattern_t* q = cairo_pattern_create_linear(0, kDeckFront, 0, y + h);
  addStop(q, 0, {0, 0, 0}, 0.05);
  addStop(q, 1, {0, 0, 0}, 0.45);
  cairo_set_source(cr, q);
  cairo_rectangle(cr, x, kDeckFront + 1.5, w, y + h - kDeckFront);
  cairo_fill(cr);
  cairo_pattern_destroy(q);
  for (int i = 0; i < 6; ++i) screw(cr, x + 60 + i * (w - 120) / 5, kDeckFront + 17, 3.4, 0.3 + i * 0.7);
}

// The socket legends stencilled on the chassis lip.
void deckLegend(cairo_t* cr, const FontSet& fonts, double cx, const char* text) {
  cairo_set_source_rgba(cr, 0.95, 0.94, 0.90, 0.85);
  fonts.path(cr, Face::kNarrowBold, 9, cx, kDeckFront + 22, text, Align::kCenter, 0.8);
  cairo_fill(cr);
}

// A black plate for a menu with pale text: its caption above a darker inset window. The output
// tap's and the speaker cabinet's.
void menuPlate(cairo_t* cr, const FontSet& fonts, const Box& m, const char* caption) {
  const double px = m.x - 12, py = m.y - 24, pw = m.w + 24, ph = m.h + 32;
  plate(cr, px, py, pw, ph, false);
  plateText(cr, fonts, m.cx(), py + 14, caption, false, 10);
  // The menu's own text shows in a darker inset window below the caption.
  roundedRect(cr, m.x, m.y, m.w, m.h, 2);
  cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
  cairo_fill(cr);
  roundedRect(cr, m.x + 0.5, m.y + 0.5, m.w - 1, m.h - 1, 2);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_stroke(cr);
  screw(cr, px + 7, py + ph / 2 + 3, 2.6, 0.9);
  screw(cr, px + pw - 7, py + ph / 2 + 3, 2.6, 2.1);
  menuArrow(cr, m.x + m.w - 12, m.cy(), {0.8, 0.8, 0.8}, 0.55);
}

void badge(cairo_t* cr, const FontSet& fonts, double cx, double cy) {
  const double w = 330, h = 84, x = cx - w / 2, y = cy - h / 2;
  softShadow(cr, 2, 4, 6, 0.8, [&](cairo_t* c) {
    roundedRect(c, x, y, w, h, 10);
    cairo_fill(c);
  });
  // Chrome rim around a black enamel field.
  roundedRect(cr, x, y, w, h, 10);
  cairo_pattern_t* rim = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h * 1.5);
  addStop(rim, 0, {0.95, 0.95, 0.96});
  addStop(rim, 0.35, {0.45, 0.46, 0.48});
  addStop(rim, 0.6, {0.85, 0.86, 0.88});
  addStop(rim, 1, {0.30, 0.31, 0.33});
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  roundedRect(cr, x + 4, y + 4, w - 8, h - 8, 7);
  cairo_pattern_t* field = cairo_pattern_create_linear(0, y, 0, y + h);
  addStop(field, 0, {0.10, 0.09, 0.09});
  addStop(field, 1, {0.02, 0.02, 0.02});
  cairo_set_source(cr, field);
  cairo_fill(cr);
  cairo_pattern_destroy(field);
  // The name in raised brass letters: shadow, dark edge, then a polished face.
  const double size = 46, base = cy + 12, track = 3.5;
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  fonts.path(cr, Face::kSansBold, size, cx + 1.5, base + 2.5, "KORVALITE", Align::kCenter, track);
  cairo_fill(cr);
  fonts.path(cr, Face::kSansBold, size, cx, base, "KORVALITE", Align::kCenter, track);
  cairo_pattern_t* gold = cairo_pattern_create_linear(0, base - size * 0.75, 0, base);
  addStop(gold, 0, {1.0, 0.93, 0.68});
  addStop(gold, 0.45, {0.86, 0.66, 0.30});
  addStop(gold, 0.55, {0.62, 0.44, 0.16});
  addStop(gold, 1, {0.92, 0.76, 0.42});
  cairo_set_source(cr, gold);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gold);
  cairo_set_line_width(cr, 0.8);
  cairo_set_source_rgba(cr, 0.3, 0.2, 0.05, 0.9);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.80, 0.70, 0.50);
  fonts.path(cr, Face::kNarrowBold, 10, cx, y + h - 10, "ALL-VALVE AMPLIFIER", Align::kCenter, 5);
  cairo_fill(cr);
}

}  // namespace

namespace chassis {

// A riveted plate: ivory for black print (the transformer menus draw black text on it),
// or black for light print (the output tap menu draws pale grey text on it).
void plate(cairo_t* cr, double x, double y, double w, double h, bool ivory) {
  softShadow(cr, 1.0, 2.0, 3, 0.7, [&](cairo_t* c) {
    roundedRect(c, x, y, w, h, 3);
    cairo_fill(c);
  });
  roundedRect(cr, x, y, w, h, 3);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  if (ivory) {
    addStop(p, 0, {0.97, 0.95, 0.88});
    addStop(p, 1, {0.86, 0.82, 0.70});
  } else {
    addStop(p, 0, {0.13, 0.13, 0.14});
    addStop(p, 1, {0.04, 0.04, 0.05});
  }
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 2.5);
  cairo_set_line_width(cr, 1);
  if (ivory) {
    cairo_set_source_rgba(cr, 0.35, 0.3, 0.2, 0.7);
  } else {
    cairo_set_source_rgba(cr, 0.75, 0.65, 0.45, 0.8);
  }
  cairo_stroke(cr);
}

void plateText(cairo_t* cr, const FontSet& fonts, double x, double baseline, const char* text, bool ivory,
               double size, double tracking) {
  if (ivory) {
    cairo_set_source_rgb(cr, 0.12, 0.10, 0.08);
  } else {
    cairo_set_source_rgb(cr, 0.86, 0.76, 0.52);
  }
  fonts.path(cr, Face::kNarrowBold, size, x, baseline, text, Align::kCenter, tracking);
  cairo_fill(cr);
}

}  // namespace chassis

void drawChassis(cairo_t* cr, const FontSet& fonts, double x, double y, double w, double h) {
  struct Position {
    Valve type;
    double cx, top;
    const char* legend;
  };
  const Position valves[] = {{Valve::kPreamp, 250, 292, "V1  12AX7"},
                             {Valve::kPreamp, 330, 292, "V2  12AX7"},
                             {Valve::kPower, 520, 176, "V3  EL34"},
                             {Valve::kPower, 640, 176, "V4  EL34"},
                             {Valve::kRectifier, 770, 214, "V5  GZ34"}};
  wall(cr, x, y, w);
  deck(cr, x, y, w, h);
  for (const Position& v : valves) {
    deckGlow(cr, v.cx, v.type == Valve::kPreamp ? 40 : 62);
    deckLegend(cr, fonts, v.cx, v.legend);
  }
  // The left louvres gave their place to the cabinet's plate: one row is left above it.
  louvres(cr, 62, 44, 5, 1);
  louvres(cr, 958, 48, 4, 3);
  menuPlate(cr, fonts, layout::kTapMenu, "OUTPUT TAP");
  menuPlate(cr, fonts, layout::kCabMenu, "SPEAKER CABINET");
  badge(cr, fonts, 760, 100);
  inputTransformer(cr, fonts);
  for (const Position& v : valves) valve(cr, v.type, v.cx, v.top);
  capacitorCan(cr, fonts, 868, 250, 46);
  outputTransformer(cr, fonts);
}

}  // namespace art
