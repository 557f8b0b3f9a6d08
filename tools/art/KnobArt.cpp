#include "tools/art/KnobArt.h"

#include <algorithm>
#include <cmath>

#include "resources/ResourceIds.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"

namespace art {

namespace {

// The light comes from the upper left (math angle 135 degrees).
constexpr double kLight = 135.0 * kPi / 180.0;

struct KnobGeometry {
  int width, frameHeight, frames;
  double skirt;  // skirt radius, 0 for none
  double body;   // knurled body radius
  double cap;    // brass cap radius
  int teeth;     // knurl ridges around the body
  double shadowDx, shadowDy;
  int shadowBlur;
};

KnobGeometry geometryOf(KnobSize size) {
  if (size == KnobSize::kBig) {
    return {KORVALITE_RES_KNOB_BIG_WIDTH,
            KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT,
            KORVALITE_RES_KNOB_BIG_FRAMES,
            43.0,
            31.5,
            25.5,
            40,
            1.2,
            3.2,
            6};
  }
  return {KORVALITE_RES_KNOB_SMALL_WIDTH,
          KORVALITE_RES_KNOB_SMALL_FRAME_HEIGHT,
          KORVALITE_RES_KNOB_SMALL_FRAMES,
          0.0,
          11.8,
          8.3,
          18,
          0.4,
          1.6,
          2};
}

// Screen direction of a math angle (y grows downward on screen).
double dx(double a) {
  return std::cos(a);
}
double dy(double a) {
  return -std::sin(a);
}

// How much a surface whose outward normal points at math angle `a` faces the light.
double facing(double a) {
  return std::cos(a - kLight);
}

// Parts that do not turn: drawn once per strip and reused for every frame.
cairo_surface_t* fixedUnder(const KnobGeometry& g, double cx, double cy, int scale) {
  cairo_surface_t* s = createPicture(g.width, g.frameHeight, scale);
  cairo_t* cr = cairo_create(s);
  double outer = g.skirt > 0 ? g.skirt : g.body;
  softShadow(cr, g.shadowDx, g.shadowDy, g.shadowBlur, 0.75, [&](cairo_t* c) {
    cairo_arc(c, cx, cy, outer, 0, 2 * kPi);
    cairo_fill(c);
  });
  if (g.skirt > 0) {
    // Black bakelite skirt: a shallow cone, brighter on the side that faces the light.
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - g.skirt * 0.7, cy - g.skirt * 0.7,
                                                     cx + g.skirt * 0.7, cy + g.skirt * 0.7);
    addStop(p, 0, {0.23, 0.23, 0.24});
    addStop(p, 0.5, {0.09, 0.09, 0.10});
    addStop(p, 1, {0.03, 0.03, 0.03});
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, g.skirt, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Concentric moulding rings on the skirt.
    for (int i = 0; i < 4; ++i) {
      double r = g.body + 2.5 + i * (g.skirt - g.body - 4) / 3.0;
      cairo_set_line_width(cr, 0.8);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.035);
      cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
      cairo_stroke(cr);
    }
    // Rim: a lit lip on the upper left, a dark one on the lower right.
    for (int i = 0; i < 180; ++i) {
      double a0 = i * 2 * kPi / 180, a1 = (i + 1) * 2 * kPi / 180;
      double f = facing(a0 + kPi / 180);
      cairo_set_line_width(cr, 1.4);
      if (f > 0) {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.28 * f * f);
      } else {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.5 * -f);
      }
      cairo_arc_negative(cr, cx, cy, g.skirt - 0.8, -a0, -a1);
      cairo_stroke(cr);
    }
  }
  cairo_destroy(cr);
  return s;
}

// The skirt's printed pointer line turns with the knob.
void skirtLine(cairo_t* cr, const KnobGeometry& g, double cx, double cy, double a) {
  if (g.skirt <= 0) return;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.6);
  cairo_set_source_rgb(cr, 0.95, 0.92, 0.82);
  cairo_move_to(cr, cx + dx(a) * (g.body + 3.0), cy + dy(a) * (g.body + 3.0));
  cairo_line_to(cr, cx + dx(a) * (g.skirt - 2.5), cy + dy(a) * (g.skirt - 2.5));
  cairo_stroke(cr);
}

// Shadow of the raised body on the skirt (or the panel), fixed with the light.
cairo_surface_t* bodyShadow(const KnobGeometry& g, double cx, double cy, int scale) {
  cairo_surface_t* s = createPicture(g.width, g.frameHeight, scale);
  cairo_t* cr = cairo_create(s);
  if (g.skirt > 0) {
    softShadow(cr, 1.2, 2.4, 3, 0.8, [&](cairo_t* c) {
      cairo_arc(c, cx, cy, g.body, 0, 2 * kPi);
      cairo_fill(c);
    });
  }
  cairo_destroy(cr);
  return s;
}

// Knurled body: ridges whose two flanks are shaded by where they face, so the ridges turn
// while the light does not.
void knurl(cairo_t* cr, const KnobGeometry& g, double cx, double cy, double a) {
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
  cairo_arc(cr, cx, cy, g.body, 0, 2 * kPi);
  cairo_fill(cr);
  double step = 2 * kPi / g.teeth;
  double inner = g.cap + (g.skirt > 0 ? 0.6 : 0.4);
  double dip = g.skirt > 0 ? 1.3 : 0.8;
  for (int i = 0; i < g.teeth; ++i) {
    double a0 = a + i * step, am = a0 + step * 0.5, a1 = a0 + step;
    for (int flank = 0; flank < 2; ++flank) {
      double b0 = flank == 0 ? a0 : am, b1 = flank == 0 ? am : a1;
      // The ridge crest is at the middle; each flank's normal leans toward its own side.
      double normal = flank == 0 ? am - step * 0.9 : am + step * 0.9;
      double f = facing(normal) * 0.65 + facing(am) * 0.35;
      double v = 0.06 + 0.42 * std::max(0.0, f) * std::max(0.0, f) + 0.05 * (f + 1);
      double rOut0 = flank == 0 ? g.body - dip : g.body, rOut1 = flank == 0 ? g.body : g.body - dip;
      cairo_move_to(cr, cx + dx(b0) * inner, cy + dy(b0) * inner);
      cairo_line_to(cr, cx + dx(b0) * rOut0, cy + dy(b0) * rOut0);
      cairo_line_to(cr, cx + dx(b1) * rOut1, cy + dy(b1) * rOut1);
      cairo_line_to(cr, cx + dx(b1) * inner, cy + dy(b1) * inner);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, v, v, v * 1.02);
      cairo_fill(cr);
    }
  }
  // The top edge of the body is slightly rounded: a soft sheen that stays with the light.
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, g.cap, cx, cy, g.body);
  addStop(p, 0, {0, 0, 0}, 0.0);
  addStop(p, 0.55, {0, 0, 0}, 0.0);
  addStop(p, 1, {0, 0, 0}, 0.35);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, g.body, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// Brushed brass cap: concentric grain with the two bright streaks that turned metal shows
// towards and away from the light. All of it is symmetric about the centre, so it is drawn
// once and does not turn.
cairo_surface_t* capSurface(const KnobGeometry& g, double cx, double cy, int scale) {
  cairo_surface_t* s = createPicture(g.width, g.frameHeight, scale);
  cairo_t* cr = cairo_create(s);
  const Rgb brass{0.78, 0.63, 0.34}, light{1.0, 0.93, 0.72}, dark{0.36, 0.27, 0.12};
  if (scale > 1) {
    // The wedges' antialiased seams let the black knurl under the cap through. In the 1x
    // strip (kept as first drawn) the seams crowd a pixel apart or closer, and their leak dulls
    // the brass by about a quarter at the centre and a sixth at the rim (measured); in a finer
    // picture they would beat against the pixel grid in a moire star instead. So here the
    // wedges lie on brass, and the same dulling is laid over them as an even veil.
    setColor(cr, brass);
    cairo_arc(cr, cx, cy, g.cap + 0.5, 0, 2 * kPi);
    cairo_fill(cr);
  }
  const int wedges = 240;
  for (int i = 0; i < wedges; ++i) {
    double a0 = i * 2 * kPi / wedges, a1 = (i + 1) * 2 * kPi / wedges;
    double c = std::cos(a0 + kPi / wedges - kLight);
    double streak = std::pow(std::fabs(c), 6.0);
    double side = 0.5 + 0.5 * c;  // the half facing the light is a little brighter overall
    Rgb col = mix(mix(dark, brass, 0.45 + 0.55 * side), light, streak * (c > 0 ? 0.95 : 0.65));
    setColor(cr, col);
    cairo_move_to(cr, cx, cy);
    cairo_arc_negative(cr, cx, cy, g.cap + 0.5, -a0, -a1 - 0.002);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  if (scale > 1) {
    cairo_pattern_t* veil = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 25.5);
    addStop(veil, 0, {0, 0, 0}, 0.29);
    addStop(veil, 1, {0, 0, 0}, 0.18);
    cairo_set_source(cr, veil);
    cairo_arc(cr, cx, cy, g.cap + 0.5, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(veil);
  }
  // Lathe grain: faint rings of random strength.
  for (int i = 0; i < static_cast<int>(g.cap * 3); ++i) {
    double r = 0.6 + i / 3.0;
    double k = hashUnit(i, 7, 41);
    cairo_set_line_width(cr, 0.35);
    if (k > 0.5) {
      cairo_set_source_rgba(cr, 1, 0.97, 0.85, 0.10 * (k - 0.5));
    } else {
      cairo_set_source_rgba(cr, 0.2, 0.13, 0.03, 0.20 * (0.5 - k));
    }
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_stroke(cr);
  }
  // Bevelled edge of the cap.
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - g.cap, cy - g.cap, cx + g.cap, cy + g.cap);
  addStop(p, 0, {1, 0.96, 0.82}, 0.9);
  addStop(p, 0.5, brass, 0.3);
  addStop(p, 1, {0.15, 0.10, 0.03}, 0.9);
  cairo_set_source(cr, p);
  cairo_set_line_width(cr, g.skirt > 0 ? 1.3 : 0.9);
  cairo_arc(cr, cx, cy, g.cap - 0.2, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_pattern_destroy(p);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_set_line_width(cr, 0.7);
  cairo_arc(cr, cx, cy, g.cap + 0.3, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_destroy(cr);
  return s;
}

// The engraved pointer on the cap: a dark groove with its lower wall catching the light.
void capPointer(cairo_t* cr, const KnobGeometry& g, double cx, double cy, double a) {
  bool big = g.skirt > 0;
  double r0 = big ? 4.0 : 1.5, r1 = g.cap - (big ? 2.2 : 1.0);
  double w = big ? 2.6 : 1.6;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, w);
  cairo_set_source_rgba(cr, 1, 0.95, 0.8, 0.55);
  cairo_move_to(cr, cx + dx(a) * r0 + 0.5, cy + dy(a) * r0 + 0.6);
  cairo_line_to(cr, cx + dx(a) * r1 + 0.5, cy + dy(a) * r1 + 0.6);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.06, 0.05, 0.04);
  cairo_move_to(cr, cx + dx(a) * r0, cy + dy(a) * r0);
  cairo_line_to(cr, cx + dx(a) * r1, cy + dy(a) * r1);
  cairo_stroke(cr);
}

void capGloss(cairo_t* cr, const KnobGeometry& g, double cx, double cy) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - g.cap * 0.45, cy - g.cap * 0.5, 0, cx - g.cap * 0.3,
                                                   cy - g.cap * 0.35, g.cap * 0.9);
  addStop(p, 0, {1, 1, 0.95}, 0.30);
  addStop(p, 1, {1, 1, 0.95}, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, g.cap, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace

double knobAngle(int frame, int frames) {
  double v = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0.0;
  return (layout::kKnobStartDeg + layout::kKnobSweepDeg * v) * kPi / 180.0;
}

cairo_surface_t* renderKnobStrip(KnobSize size, cairo_surface_t* ground, int scale, int first, int count) {
  const KnobGeometry g = geometryOf(size);
  // The control's centre: half the width from the top-left corner in both directions.
  const double cx = g.width * 0.5, cy = g.width * 0.5;
  cairo_surface_t* under = fixedUnder(g, cx, cy, scale);
  cairo_surface_t* shadow = bodyShadow(g, cx, cy, scale);
  cairo_surface_t* cap = capSurface(g, cx, cy, scale);

  cairo_surface_t* strip = createPicture(g.width, g.frameHeight * count, scale);
  cairo_t* cr = cairo_create(strip);
  for (int f = first; f < first + count; ++f) {
    const double a = knobAngle(f, g.frames);
    cairo_save(cr);
    cairo_translate(cr, 0, static_cast<double>(f - first) * g.frameHeight);
    cairo_rectangle(cr, 0, 0, g.width, g.frameHeight);
    cairo_clip(cr);
    if (ground) {
      cairo_set_source_surface(cr, ground, 0, 0);
      cairo_paint(cr);
    }
    cairo_set_source_surface(cr, under, 0, 0);
    cairo_paint(cr);
    skirtLine(cr, g, cx, cy, a);
    cairo_set_source_surface(cr, shadow, 0, 0);
    cairo_paint(cr);
    knurl(cr, g, cx, cy, a);
    cairo_set_source_surface(cr, cap, 0, 0);
    cairo_paint(cr);
    capPointer(cr, g, cx, cy, a);
    capGloss(cr, g, cx, cy);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(under);
  cairo_surface_destroy(shadow);
  cairo_surface_destroy(cap);
  return strip;
}

}  // namespace art
