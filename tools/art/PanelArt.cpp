#include "tools/art/PanelArt.h"

#include <cmath>
#include <string>

#include "tools/art/ChassisArt.h"
#include "tools/art/KnobArt.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/SwitchArt.h"
#include "tools/art/Texture.h"

namespace art {

namespace {

constexpr int kW = layout::kWidth;
constexpr int kH = layout::kHeight;
const Rgb kInk{0.09, 0.07, 0.05};
const Rgb kCream{0.93, 0.88, 0.74};
// The dial plate under each big knob, and where the knob's centre sits on it.
constexpr int kPlateW = 138, kPlateH = 136;
constexpr double kPlateCx = 69.5, kPlateCy = 67.5;

// Cream piping along a rounded rectangle: a rounded cord, lit on its upper side.
void piping(cairo_t* cr, double x, double y, double w, double h, double r) {
  roundedRect(cr, x, y, w, h, r);
  cairo_set_line_width(cr, 4.0);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_stroke(cr);
  roundedRect(cr, x, y, w, h, r);
  cairo_set_line_width(cr, 2.6);
  setColor(cr, scale(kCream, 0.82));
  cairo_stroke(cr);
  roundedRect(cr, x - 0.5, y - 0.5, w, h, r);
  cairo_set_line_width(cr, 0.9);
  cairo_set_source_rgba(cr, 1, 1, 0.95, 0.55);
  cairo_stroke(cr);
}

// A shadow cast inward by the edges of a recess (the tolex lip over the window and panel).
void innerShadow(cairo_t* cr, double x, double y, double w, double h, double r, double depth) {
  cairo_save(cr);
  roundedRect(cr, x, y, w, h, r);
  cairo_clip(cr);
  softShadow(cr, depth * 0.4, depth, static_cast<int>(depth * 2), 0.85, [&](cairo_t* c) {
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(c, 0, 0, kW, kH);
    roundedRect(c, x, y, w, h, r);
    cairo_fill(c);
  });
  cairo_restore(cr);
}

void cornerGuard(cairo_t* cr, double x, double y, int sx, int sy) {
  // A stamped steel corner protector: a quarter disc with a raised dome and a rivet.
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, sx, sy);
  const double s = 40;
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, s, 0);
  cairo_curve_to(cr, s, s * 0.45, s * 0.45, s, 0, s);
  cairo_close_path(cr);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(x + sx * 8, y + sy * 8, 2, x + sx * 12, y + sy * 12, 44);
  addStop(p, 0, {0.95, 0.95, 0.96});
  addStop(p, 0.4, {0.62, 0.63, 0.65});
  addStop(p, 1, {0.25, 0.25, 0.27});
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_stroke(cr);
  screw(cr, x + sx * 13, y + sy * 13, 3.2, 0.8);
}

// The scale printed around a knob: ticks at every tenth, numbers 0 to 10 when `numbers`.
void knobScale(cairo_t* cr, const FontSet& fonts, double cx, double cy, double rIn, double rOut, double rNum,
               bool numbers, double fontSize) {
  setColor(cr, kInk);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // Big knobs get half steps between the numbered tenths; the small one only the tenths.
  const int steps = numbers ? 20 : 10;
  for (int k = 0; k <= steps; ++k) {
    double a = knobAngle(k, steps + 1);
    bool major = !numbers || k % 2 == 0;
    double r0 = major ? rIn : rIn + (rOut - rIn) * 0.45;
    cairo_set_line_width(cr, numbers ? (major ? 1.6 : 0.9) : 1.1);
    cairo_move_to(cr, cx + std::cos(a) * r0, cy - std::sin(a) * r0);
    cairo_line_to(cr, cx + std::cos(a) * rOut, cy - std::sin(a) * rOut);
    cairo_stroke(cr);
    if (numbers && major) {
      std::string n = std::to_string(k / 2);
      fonts.path(cr, Face::kNarrowBold, fontSize, cx + std::cos(a) * rNum,
                 cy - std::sin(a) * rNum + fontSize * 0.36, n, Align::kCenter);
      cairo_fill(cr);
    }
  }
}

void caption(cairo_t* cr, const FontSet& fonts, double x, double baseline, const std::string& text,
             double size, double tracking) {
  // Screen-printed ink sits a hair proud of the metal: a faint light edge below each letter.
  cairo_set_source_rgba(cr, 1, 0.96, 0.8, 0.35);
  fonts.path(cr, Face::kNarrowBold, size, x, baseline + 0.8, text, Align::kCenter, tracking);
  cairo_fill(cr);
  setColor(cr, kInk);
  fonts.path(cr, Face::kNarrowBold, size, x, baseline, text, Align::kCenter, tracking);
  cairo_fill(cr);
}

// The dial plate each big knob is mounted on: raised brass, brushed in its own
// coordinates, with the knob's scale. Every big knob shares one film strip, so what shows
// around the knob inside its rectangle must be the same at each knob; drawing that
// from one plate picture makes it so (the strip's frames carry the plate as their ground).
cairo_surface_t* dialPlate(const FontSet& fonts, int scale) {
  cairo_surface_t* s = createPicture(kPlateW, kPlateH, scale);
  cairo_t* cr = cairo_create(s);
  cairo_surface_t* brass = brushedTexture(kPlateW, kPlateH, scale, {0.82, 0.70, 0.46}, 0.07, false, 31);
  roundedRect(cr, 0, 0, kPlateW, kPlateH, 7);
  cairo_set_source_surface(cr, brass, 0, 0);
  cairo_fill(cr);
  cairo_surface_destroy(brass);
  roundedRect(cr, 0, 0, kPlateW, kPlateH, 7);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kPlateH);
  addStop(p, 0, {1, 0.97, 0.85}, 0.16);
  addStop(p, 0.5, {1, 1, 1}, 0.0);
  addStop(p, 1, {0.1, 0.06, 0.0}, 0.16);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Bevelled edge: lit along the top and left, in shade along the bottom and right.
  cairo_set_line_width(cr, 1.2);
  roundedRect(cr, 0.6, 0.6, kPlateW - 1.2, kPlateH - 1.2, 6.5);
  cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, kPlateW * 0.35, kPlateH);
  addStop(edge, 0, {1, 0.98, 0.88}, 0.75);
  addStop(edge, 0.5, {1, 1, 1}, 0.1);
  addStop(edge, 1, {0.15, 0.1, 0.02}, 0.8);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
  // A fine engraved border line inside the edge.
  roundedRect(cr, 4.5, 4.5, kPlateW - 9, kPlateH - 9, 4);
  cairo_set_line_width(cr, 0.8);
  setColor(cr, kInk, 0.55);
  cairo_stroke(cr);
  knobScale(cr, fonts, kPlateCx, kPlateCy, 45.5, 50, 57.5, true, 10);
  screw(cr, 10, 10, 3.0, 0.7);
  screw(cr, kPlateW - 10, 10, 3.0, 2.2);
  screw(cr, 10, kPlateH - 10, 3.0, 1.5);
  screw(cr, kPlateW - 10, kPlateH - 10, 3.0, 0.2);
  cairo_destroy(cr);
  return s;
}

// A recess the meter sits in, so it looks mounted through the panel rather than pasted on.
void meterCutout(cairo_t* cr, const Box& b) {
  softShadow(cr, 0, 0, 6, 0.55, [&](cairo_t* c) {
    cairo_rectangle(c, b.x - 3, b.y - 3, b.w + 6, b.h + 6);
    cairo_fill(c);
  });
  cairo_rectangle(cr, b.x - 1.5, b.y - 1.5, b.w + 3, b.h + 3);
  cairo_set_source_rgb(cr, 0.05, 0.04, 0.03);
  cairo_fill(cr);
}

// The ivory plate behind the supply menu's text, with its caption above.
void supplyPlate(cairo_t* cr, const FontSet& fonts) {
  const Box& m = layout::kSupplyMenu;
  const double x = m.x - 5, y = m.y - 3, w = m.w + 10, h = m.h + 6;
  softShadow(cr, 0.8, 1.5, 2, 0.6, [&](cairo_t* c) {
    roundedRect(c, x, y, w, h, 3);
    cairo_fill(c);
  });
  roundedRect(cr, x, y, w, h, 3);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  addStop(p, 0, {0.97, 0.95, 0.88});
  addStop(p, 1, {0.84, 0.80, 0.68});
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 2.5);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0.3, 0.25, 0.15, 0.7);
  cairo_stroke(cr);
  caption(cr, fonts, m.cx(), m.y - 7, "POWER SUPPLY", 10, 1.2);
  menuArrow(cr, m.x + m.w - 4, m.cy() + 0.5, {0.2, 0.15, 0.1}, 0.75);
}

void controlPanel(cairo_t* cr, const FontSet& fonts) {
  const double x = kPanelX, y = kPanelY, w = kPanelW, h = kPanelH;
  const int scale = pictureScale(cairo_get_target(cr));
  cairo_surface_t* brass = brushedTexture(kW, kH, scale, {0.80, 0.68, 0.44}, 0.07, false, 23);
  roundedRect(cr, x, y, w, h, 8);
  cairo_set_source_surface(cr, brass, 0, 0);
  cairo_fill(cr);
  cairo_surface_destroy(brass);
  // Light falls from above: the top of the panel is brighter, the bottom in shade.
  roundedRect(cr, x, y, w, h, 8);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  addStop(p, 0, {1, 0.97, 0.85}, 0.22);
  addStop(p, 0.35, {1, 1, 1}, 0.0);
  addStop(p, 1, {0.1, 0.06, 0.0}, 0.28);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  innerShadow(cr, x, y, w, h, 8, 4);

  // Knob scales and captions.
  struct Knob {
    const Box& box;
    const char* name;
  };
  const Knob knobs[] = {{layout::kGain, "GAIN"}, {layout::kTone, "TONE"}, {layout::kVolume, "VOLUME"}};
  cairo_surface_t* plate = dialPlate(fonts, scale);
  for (const Knob& k : knobs) {
    double cx = layout::knobCx(k.box), cy = layout::knobCy(k.box);
    // Knob centres lie on half pixels, as does the plate's, so the plate lands on whole
    // pixels and is copied unchanged under every knob.
    double px = cx - kPlateCx, py = cy - kPlateCy;
    softShadow(cr, 1.0, 2.0, 3, 0.65, [&](cairo_t* c) {
      roundedRect(c, px, py, kPlateW, kPlateH, 7);
      cairo_fill(c);
    });
    cairo_set_source_surface(cr, plate, px, py);
    cairo_paint(cr);
    caption(cr, fonts, cx, 676, k.name, 16, 2.5);
  }
  cairo_surface_destroy(plate);
  const double mx = layout::knobCx(layout::kMix), my = layout::knobCy(layout::kMix);
  knobScale(cr, fonts, mx, my, 14.5, 18, 0, false, 0);
  // The mix runs from the dry signal (left) to the amplifier's alone (right). Its caption
  // stands at its left, level with the knob: below it, on the line of the power switch's,
  // the two read as one ("MIX POWER").
  caption(cr, fonts, mx - 17, my + 26, "DRY", 7.5, 0.6);
  caption(cr, fonts, mx + 17, my + 26, "WET", 7.5, 0.6);
  caption(cr, fonts, mx - 37, my + 4.5, "MIX", 12, 2);

  // The meters, their recesses and the legend that spans them.
  meterCutout(cr, layout::kMeterLeft);
  meterCutout(cr, layout::kMeterRight);
  const double left = layout::kMeterLeft.x, right = layout::kMeterRight.x + layout::kMeterRight.w;
  const double mid = (left + right) / 2, ly = 672;
  double half = fonts.width(cr, Face::kNarrowBold, 12, "PREAMP LEVEL", 1.8) / 2 + 10;
  setColor(cr, kInk);
  cairo_set_line_width(cr, 1.4);
  cairo_move_to(cr, left, ly - 14);
  cairo_line_to(cr, left, ly - 4);
  cairo_line_to(cr, mid - half, ly - 4);
  cairo_move_to(cr, mid + half, ly - 4);
  cairo_line_to(cr, right, ly - 4);
  cairo_line_to(cr, right, ly - 14);
  cairo_stroke(cr);
  caption(cr, fonts, mid, ly, "PREAMP LEVEL", 12, 1.8);

  // Power: the menu's plate, the switch's ON/BYPASS legend and caption.
  supplyPlate(cr, fonts);
  const double tx = layout::kPower.x + kToggleX, ty = layout::kPower.y + kToggleY;
  // Off passes the guitar through untouched: the legend says so.
  caption(cr, fonts, tx + 26, ty - 21, "ON", 10, 1);
  caption(cr, fonts, tx + 19, ty + 44, "BYPASS", 8.5, 0.6);
  caption(cr, fonts, tx + 9, 676, "POWER", 13, 2);

  // Panel screws in the corners.
  screw(cr, x + 12, y + 12, 4.2, 0.4);
  screw(cr, x + w - 12, y + 12, 4.2, 1.9);
  screw(cr, x + 12, y + h - 12, 4.2, 2.6);
  screw(cr, x + w - 12, y + h - 12, 4.2, 1.1);
}

}  // namespace

cairo_surface_t* renderBackground(const FontSet& fonts, int scale) {
  cairo_surface_t* s = createPicture(kW, kH, scale);
  cairo_t* cr = cairo_create(s);

  cairo_surface_t* tolex = tolexTexture(kW, kH, scale, 5);
  cairo_set_source_surface(cr, tolex, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(tolex);
  // The cabinet is lit from above: a soft falloff towards the bottom and the sides.
  cairo_pattern_t* shade = cairo_pattern_create_radial(kW / 2.0, -200, 200, kW / 2.0, -200, 1100);
  addStop(shade, 0, {1, 1, 1}, 0.06);
  addStop(shade, 1, {0, 0, 0}, 0.35);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);

  cairo_save(cr);
  roundedRect(cr, kBayX, kBayY, kBayW, kBayH, 10);
  cairo_clip(cr);
  drawChassis(cr, fonts, kBayX, kBayY, kBayW, kBayH);
  cairo_restore(cr);
  innerShadow(cr, kBayX, kBayY, kBayW, kBayH, 10, 7);
  piping(cr, kBayX, kBayY, kBayW, kBayH, 10);

  controlPanel(cr, fonts);
  piping(cr, kPanelX, kPanelY, kPanelW, kPanelH, 8);

  cornerGuard(cr, 0, 0, 1, 1);
  cornerGuard(cr, kW, 0, -1, 1);
  cornerGuard(cr, 0, kH, 1, -1);
  cornerGuard(cr, kW, kH, -1, -1);

  cairo_destroy(cr);
  return s;
}

}  // namespace art
