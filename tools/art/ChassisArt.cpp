#include "tools/art/ChassisArt.h"

#include <cmath>

#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/Texture.h"

namespace art {

namespace {

constexpr int kW = layout::kWidth;
constexpr int kH = layout::kHeight;
// The chassis deck the parts stand on: its top surface, then its front lip.
constexpr double kDeckTop = 404, kDeckFront = 434;
// Where the parts' feet touch the deck.
constexpr double kFloor = 420;

const Rgb kGlow{1.0, 0.45, 0.12};

void wall(cairo_t* cr, double x, double y, double w, double h) {
  cairo_surface_t* steel = brushedTexture(kW, kH, {0.33, 0.34, 0.35}, 0.10, true, 77);
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
  (void)h;
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
  cairo_surface_t* top = brushedTexture(kW, kH, {0.62, 0.63, 0.64}, 0.08, false, 78);
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
  cairo_surface_t* lip = brushedTexture(kW, kH, {0.50, 0.51, 0.52}, 0.09, false, 79);
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

// A soft pool of light from a valve on the wall and deck behind it.
void wallGlow(cairo_t* cr, double cx, double cy, double r, double strength) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  addStop(p, 0, kGlow, 0.30 * strength);
  addStop(p, 0.5, kGlow, 0.10 * strength);
  addStop(p, 1, kGlow, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// The valves' light on the deck in front of them.
void deckGlow(cairo_t* cr, double cx, double r) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, kDeckTop, kW, kDeckFront - kDeckTop);
  cairo_clip(cr);
  cairo_translate(cr, cx, kFloor + 2);
  cairo_scale(cr, 1, 0.28);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, r);
  addStop(p, 0, kGlow, 0.45);
  addStop(p, 1, kGlow, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

// The socket legends stencilled on the chassis lip.
void deckLegend(cairo_t* cr, const FontSet& fonts, double cx, const char* text) {
  cairo_set_source_rgba(cr, 0.95, 0.94, 0.90, 0.85);
  fonts.path(cr, Face::kNarrowBold, 9, cx, kDeckFront + 22, text, Align::kCenter, 0.8);
  cairo_fill(cr);
}

// A standing object's shadow on the deck and the wall (light from the front and above).
void footShadow(cairo_t* cr, double cx, double halfW) {
  softShadow(cr, 0, 0, 6, 0.6, [&](cairo_t* c) {
    cairo_save(c);
    cairo_translate(c, cx, kFloor);
    cairo_scale(c, halfW * 1.15, 7);
    cairo_arc(c, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(c);
    cairo_fill(c);
  });
}

void socket(cairo_t* cr, double cx, double halfW) {
  cairo_save(cr);
  cairo_translate(cr, cx, kFloor - 2);
  cairo_scale(cr, halfW + 6, 6);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - halfW, 0, cx + halfW, 0);
  addStop(p, 0, {0.10, 0.08, 0.07});
  addStop(p, 0.35, {0.32, 0.28, 0.24});
  addStop(p, 1, {0.06, 0.05, 0.05});
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

enum class Valve { kPreamp, kPower, kRectifier };

// A valve standing in its socket: internals first, then the glass over them, then the glow.
void valve(cairo_t* cr, Valve type, double cx, double top) {
  const double halfW = type == Valve::kPreamp ? 15 : type == Valve::kPower ? 28 : 24;
  const bool hasBase = type != Valve::kPreamp;
  const double bottom = kFloor - 4;
  const double glassBottom = hasBase ? bottom - 30 : bottom;
  const double len = glassBottom - top;

  wallGlow(cr, cx, top + len * 0.6, halfW * 4.2, type == Valve::kPreamp ? 0.7 : 1.0);
  footShadow(cr, cx, halfW);
  socket(cr, cx, halfW);

  // Base (octal valves): brown bakelite with a moulded ridge.
  if (hasBase) {
    roundedRect(cr, cx - halfW * 0.82, glassBottom - 2, halfW * 1.64, bottom - glassBottom + 2, 3);
    cairo_pattern_t* b = cairo_pattern_create_linear(cx - halfW, 0, cx + halfW, 0);
    addStop(b, 0, {0.06, 0.04, 0.03});
    addStop(b, 0.3, {0.30, 0.22, 0.15});
    addStop(b, 0.55, {0.14, 0.10, 0.07});
    addStop(b, 1, {0.04, 0.03, 0.02});
    cairo_set_source(cr, b);
    cairo_fill(cr);
    cairo_pattern_destroy(b);
    cairo_rectangle(cr, cx - halfW * 0.82, glassBottom + 8, halfW * 1.64, 1.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
  }

  // The glass envelope's outline, used as a clip for the internals.
  auto envelope = [&](cairo_t* c) {
    cairo_new_path(c);
    cairo_move_to(c, cx - halfW, glassBottom);
    cairo_line_to(c, cx - halfW, top + halfW);
    cairo_arc(c, cx, top + halfW, halfW, kPi, 2 * kPi);
    cairo_line_to(c, cx + halfW, glassBottom);
    if (hasBase) {
      cairo_close_path(c);
    } else {
      cairo_curve_to(c, cx + halfW, glassBottom + 3, cx - halfW, glassBottom + 3, cx - halfW, glassBottom);
      cairo_close_path(c);
    }
  };

  cairo_save(cr);
  envelope(cr);
  cairo_clip(cr);
  // Support rods and the mica spacers that hold the electrodes.
  const double plateTop = top + len * (type == Valve::kPreamp ? 0.30 : 0.28);
  const double plateBottom = glassBottom - len * (type == Valve::kPreamp ? 0.22 : 0.14);
  cairo_set_source_rgba(cr, 0.55, 0.55, 0.55, 0.9);
  cairo_set_line_width(cr, 1.0);
  for (int side = -1; side <= 1; side += 2) {
    cairo_move_to(cr, cx + side * halfW * 0.62, plateTop - 10);
    cairo_line_to(cr, cx + side * halfW * 0.62, glassBottom);
    cairo_stroke(cr);
  }
  auto mica = [&](double my) {
    cairo_rectangle(cr, cx - halfW * 0.86, my, halfW * 1.72, 2.4);
    cairo_set_source_rgba(cr, 0.85, 0.82, 0.72, 0.85);
    cairo_fill(cr);
  };
  mica(plateTop - 6);
  mica(plateBottom + 3);
  // Anode plates: blackened metal boxes with side fins, split down the middle so the
  // heater's light shows through; their folded edges catch a little light.
  const int plates = type == Valve::kPreamp ? 2 : 1;
  const double ph = plateBottom - plateTop;
  for (int i = 0; i < plates; ++i) {
    double pw = plates == 2 ? halfW * 0.80 : halfW * 1.02;
    double pcx = plates == 2 ? cx - halfW * 0.45 + i * halfW * 0.90 : cx;
    double fin = plates == 2 ? 0.0 : halfW * 0.36;
    if (fin > 0) {
      cairo_rectangle(cr, pcx - pw / 2 - fin, plateTop + 4, pw + 2 * fin, ph - 8);
      cairo_set_source_rgb(cr, 0.07, 0.07, 0.075);
      cairo_fill(cr);
    }
    cairo_pattern_t* g = cairo_pattern_create_linear(pcx - pw / 2, 0, pcx + pw / 2, 0);
    addStop(g, 0, {0.05, 0.05, 0.05});
    addStop(g, 0.25, {0.20, 0.20, 0.21});
    addStop(g, 0.45, {0.10, 0.10, 0.11});
    addStop(g, 0.55, {0.10, 0.10, 0.11});
    addStop(g, 0.8, {0.16, 0.16, 0.17});
    addStop(g, 1, {0.04, 0.04, 0.04});
    cairo_set_source(cr, g);
    cairo_rectangle(cr, pcx - pw / 2, plateTop, pw, ph);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0.75, 0.72, 0.68, 0.45);
    cairo_rectangle(cr, pcx - pw / 2 + 0.4, plateTop + 0.4, pw - 0.8, ph - 0.8);
    cairo_stroke(cr);
    // The heater glowing through the slit between the plate halves.
    const double sw = plates == 2 ? 2.5 : 4.0;
    cairo_pattern_t* slit = cairo_pattern_create_linear(pcx - sw, 0, pcx + sw, 0);
    addStop(slit, 0, kGlow, 0.0);
    addStop(slit, 0.5, {1.0, 0.80, 0.45}, 1.0);
    addStop(slit, 1, kGlow, 0.0);
    cairo_set_source(cr, slit);
    cairo_rectangle(cr, pcx - sw, plateTop + 3, 2 * sw, ph - 6);
    cairo_fill(cr);
    cairo_pattern_destroy(slit);
    // Glow reflected on the plates' inner edges beside the slit.
    cairo_pattern_t* spill = cairo_pattern_create_linear(pcx - pw / 2, 0, pcx + pw / 2, 0);
    addStop(spill, 0, kGlow, 0.0);
    addStop(spill, 0.5, kGlow, 0.35);
    addStop(spill, 1, kGlow, 0.0);
    cairo_set_source(cr, spill);
    cairo_rectangle(cr, pcx - pw / 2, plateTop + 2, pw, ph - 4);
    cairo_fill(cr);
    cairo_pattern_destroy(spill);
  }
  // The heater's glow where its legs leave the lower mica (brightest seen from outside).
  cairo_pattern_t* foot =
      cairo_pattern_create_radial(cx, plateBottom + 6, 0, cx, plateBottom + 6, halfW * 0.9);
  addStop(foot, 0, {1.0, 0.70, 0.30}, 0.75);
  addStop(foot, 1, kGlow, 0.0);
  cairo_set_source(cr, foot);
  cairo_paint(cr);
  cairo_pattern_destroy(foot);
  // Orange glow filling the envelope around the electrodes.
  cairo_pattern_t* inner = cairo_pattern_create_radial(cx, (plateTop + plateBottom) / 2, 2, cx,
                                                       (plateTop + plateBottom) / 2, len * 0.55);
  addStop(inner, 0, {1.0, 0.55, 0.15}, 0.35);
  addStop(inner, 1, {1.0, 0.4, 0.1}, 0.0);
  cairo_set_source(cr, inner);
  cairo_paint(cr);
  cairo_pattern_destroy(inner);
  // Getter flash: the silvered top of the envelope.
  cairo_pattern_t* getter = cairo_pattern_create_linear(0, top, 0, top + halfW * 1.7);
  addStop(getter, 0, {0.25, 0.25, 0.27}, 0.95);
  addStop(getter, 0.55, {0.55, 0.55, 0.58}, 0.75);
  addStop(getter, 1, {0.55, 0.55, 0.58}, 0.0);
  cairo_set_source(cr, getter);
  cairo_rectangle(cr, cx - halfW, top, halfW * 2, halfW * 1.7);
  cairo_fill(cr);
  cairo_pattern_destroy(getter);
  // The glass: tinted edges where the light passes through more glass, two reflections.
  cairo_pattern_t* glass = cairo_pattern_create_linear(cx - halfW, 0, cx + halfW, 0);
  addStop(glass, 0, {0.55, 0.60, 0.62}, 0.55);
  addStop(glass, 0.10, {0.85, 0.88, 0.90}, 0.10);
  addStop(glass, 0.20, {1, 1, 1}, 0.50);
  addStop(glass, 0.26, {1, 1, 1}, 0.04);
  addStop(glass, 0.75, {1, 1, 1}, 0.0);
  addStop(glass, 0.84, {1, 1, 1}, 0.22);
  addStop(glass, 0.90, {1, 1, 1}, 0.02);
  addStop(glass, 1, {0.45, 0.50, 0.52}, 0.55);
  cairo_set_source(cr, glass);
  cairo_paint(cr);
  cairo_pattern_destroy(glass);
  cairo_restore(cr);

  envelope(cr);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 0.85, 0.9, 0.92, 0.35);
  cairo_stroke(cr);
}

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
               double size, double tracking = 1.0) {
  if (ivory) {
    cairo_set_source_rgb(cr, 0.12, 0.10, 0.08);
  } else {
    cairo_set_source_rgb(cr, 0.86, 0.76, 0.52);
  }
  fonts.path(cr, Face::kNarrowBold, size, x, baseline, text, Align::kCenter, tracking);
  cairo_fill(cr);
}

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

void tapPlate(cairo_t* cr, const FontSet& fonts) {
  const Box& m = layout::kTapMenu;
  const double px = m.x - 12, py = m.y - 24, pw = m.w + 24, ph = m.h + 32;
  plate(cr, px, py, pw, ph, false);
  plateText(cr, fonts, m.cx(), py + 14, "OUTPUT TAP", false, 10);
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
  wall(cr, x, y, w, h);
  deck(cr, x, y, w, h);
  for (const Position& v : valves) {
    deckGlow(cr, v.cx, v.type == Valve::kPreamp ? 40 : 62);
    deckLegend(cr, fonts, v.cx, v.legend);
  }
  louvres(cr, 62, 50, 5, 4);
  louvres(cr, 958, 48, 4, 3);
  tapPlate(cr, fonts);
  badge(cr, fonts, 760, 100);
  inputTransformer(cr, fonts);
  for (const Position& v : valves) valve(cr, v.type, v.cx, v.top);
  capacitorCan(cr, fonts, 868, 250, 46);
  outputTransformer(cr, fonts);
}

}  // namespace art
