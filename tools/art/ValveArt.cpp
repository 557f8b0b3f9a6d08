// The valves: glass envelopes over their electrodes, lit from inside by the heaters.
#include <cmath>

#include "tools/art/ChassisParts.h"
#include "tools/art/PanelLayout.h"

namespace art {
namespace chassis {

namespace {

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

}  // namespace

// The valves' light on the deck in front of them.
void deckGlow(cairo_t* cr, double cx, double r) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, kDeckTop, layout::kWidth, kDeckFront - kDeckTop);
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

}  // namespace chassis
}  // namespace art
