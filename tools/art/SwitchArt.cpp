#include "tools/art/SwitchArt.h"

#include <cmath>

#include "resources/ResourceIds.h"
#include "tools/art/Paint.h"

namespace art {

namespace {

constexpr int kW = KORVALITE_RES_POWER_SWITCH_WIDTH;
constexpr int kH = KORVALITE_RES_POWER_SWITCH_FRAME_HEIGHT;

cairo_pattern_t* chrome(double x0, double y0, double x1, double y1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  addStop(p, 0.0, {0.45, 0.46, 0.48});
  addStop(p, 0.22, {0.97, 0.97, 0.98});
  addStop(p, 0.45, {0.62, 0.63, 0.65});
  addStop(p, 0.7, {0.30, 0.31, 0.33});
  addStop(p, 0.88, {0.75, 0.76, 0.78});
  addStop(p, 1.0, {0.40, 0.41, 0.43});
  return p;
}

void pilot(cairo_t* cr, bool on) {
  const double x = kPilotX, y = kPilotY;
  if (on) {
    // The lamp's glow spills onto the panel around the bezel.
    cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, 8, x, y, 26);
    addStop(halo, 0, {1.0, 0.35, 0.08}, 0.55);
    addStop(halo, 0.4, {1.0, 0.30, 0.05}, 0.22);
    addStop(halo, 1, {1.0, 0.25, 0.0}, 0.0);
    cairo_set_source(cr, halo);
    cairo_arc(cr, x, y, 26, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
  }
  softShadow(cr, 1.0, 2.0, 3, 0.7, [&](cairo_t* c) {
    cairo_arc(c, x, y, 13, 0, 2 * kPi);
    cairo_fill(c);
  });
  // Knurled chrome bezel.
  cairo_pattern_t* ring = chrome(x - 13, y - 13, x + 13, y + 13);
  cairo_set_source(cr, ring);
  cairo_arc(cr, x, y, 13, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);
  for (int i = 0; i < 48; ++i) {
    double a = i * 2 * kPi / 48;
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
    cairo_move_to(cr, x + std::cos(a) * 10.8, y + std::sin(a) * 10.8);
    cairo_line_to(cr, x + std::cos(a) * 12.8, y + std::sin(a) * 12.8);
    cairo_stroke(cr);
  }
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_arc(cr, x, y, 9.4, 0, 2 * kPi);
  cairo_fill(cr);
  // Faceted jewel: alternate facets catch more or less light.
  const Rgb deep = on ? Rgb{0.78, 0.10, 0.02} : Rgb{0.22, 0.02, 0.02};
  const Rgb bright = on ? Rgb{1.0, 0.62, 0.25} : Rgb{0.48, 0.07, 0.06};
  const int facets = 8;
  for (int i = 0; i < facets; ++i) {
    double a0 = i * 2 * kPi / facets, a1 = (i + 1) * 2 * kPi / facets;
    double light = 0.5 + 0.5 * std::cos((a0 + a1) / 2 - 1.25 * kPi);
    Rgb c = mix(deep, bright, (i % 2 == 0 ? 0.25 : 0.55) * light + (on ? 0.2 : 0.0));
    setColor(cr, c);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + std::cos(a0) * 8.6, y + std::sin(a0) * 8.6);
    cairo_line_to(cr, x + std::cos(a1) * 8.6, y + std::sin(a1) * 8.6);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_pattern_t* core = cairo_pattern_create_radial(x, y, 0, x, y, 8.6);
  if (on) {
    addStop(core, 0, {1.0, 0.95, 0.7}, 0.95);
    addStop(core, 0.45, {1.0, 0.55, 0.15}, 0.5);
    addStop(core, 1, {0.9, 0.2, 0.0}, 0.0);
  } else {
    addStop(core, 0, {0.35, 0.05, 0.05}, 0.4);
    addStop(core, 1, {0.05, 0.0, 0.0}, 0.5);
  }
  cairo_set_source(cr, core);
  cairo_arc(cr, x, y, 8.6, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(core);
  // Specular highlight of the dome.
  cairo_pattern_t* specular = cairo_pattern_create_radial(x - 3, y - 3.5, 0, x - 3, y - 3.5, 4);
  addStop(specular, 0, {1, 1, 1}, 0.9);
  addStop(specular, 1, {1, 1, 1}, 0.0);
  cairo_set_source(cr, specular);
  cairo_arc(cr, x - 3, y - 3.5, 4, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(specular);
}

void toggle(cairo_t* cr, bool on) {
  const double x = kToggleX, y = kToggleY;
  // Lock washer with its tab, then the hex nut and the threaded bushing.
  softShadow(cr, 1.2, 2.2, 3, 0.7, [&](cairo_t* c) {
    cairo_arc(c, x, y, 14.5, 0, 2 * kPi);
    cairo_fill(c);
  });
  cairo_pattern_t* w = chrome(x - 15, y - 15, x + 15, y + 15);
  cairo_set_source(cr, w);
  cairo_arc(cr, x, y, 14.5, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(w);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_set_line_width(cr, 0.7);
  cairo_arc(cr, x, y, 14.2, 0, 2 * kPi);
  cairo_stroke(cr);
  for (int i = 0; i < 6; ++i) {
    double a = kPi / 6 + i * kPi / 3;
    double ax = x + std::cos(a) * 11.5, ay = y + std::sin(a) * 11.5;
    if (i == 0) {
      cairo_move_to(cr, ax, ay);
    } else {
      cairo_line_to(cr, ax, ay);
    }
  }
  cairo_close_path(cr);
  cairo_pattern_t* nut = chrome(x - 11, y - 11, x + 9, y + 12);
  cairo_set_source(cr, nut);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(nut);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  // Facet edges of the nut.
  for (int i = 0; i < 6; ++i) {
    double a = kPi / 6 + i * kPi / 3;
    cairo_set_source_rgba(cr, i < 3 ? 0.0 : 1.0, i < 3 ? 0.0 : 1.0, i < 3 ? 0.0 : 1.0, 0.25);
    cairo_move_to(cr, x + std::cos(a) * 7.2, y + std::sin(a) * 7.2);
    cairo_line_to(cr, x + std::cos(a) * 11.3, y + std::sin(a) * 11.3);
    cairo_stroke(cr);
  }
  cairo_pattern_t* bush = cairo_pattern_create_radial(x - 2, y - 2, 0.5, x, y, 7);
  addStop(bush, 0, {0.95, 0.95, 0.96});
  addStop(bush, 0.7, {0.55, 0.56, 0.58});
  addStop(bush, 1, {0.25, 0.25, 0.27});
  cairo_set_source(cr, bush);
  cairo_arc(cr, x, y, 7, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(bush);
  for (int i = 0; i < 3; ++i) {
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_set_line_width(cr, 0.5);
    cairo_arc(cr, x, y, 5.0 + i * 0.8, 0, 2 * kPi);
    cairo_stroke(cr);
  }
  cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
  cairo_arc(cr, x, y, 3.6, 0, 2 * kPi);
  cairo_fill(cr);

  // The bat lever, seen nearly end-on: it leans up when on and down when off, so it looks
  // foreshortened, widening to a rounded tip.
  const double dir = on ? -1.0 : 1.0;
  const double len = 30, baseW = 3.2, tipW = 4.6;
  const double tipY = y + dir * len;
  softShadow(cr, 3.0, 4.0, 4, 0.55, [&](cairo_t* c) {
    cairo_move_to(c, x - baseW, y);
    cairo_line_to(c, x - tipW, tipY);
    cairo_line_to(c, x + tipW, tipY);
    cairo_line_to(c, x + baseW, y);
    cairo_close_path(c);
    cairo_fill(c);
    cairo_arc(c, x, tipY, tipW + 0.3, 0, 2 * kPi);
    cairo_fill(c);
  });
  cairo_move_to(cr, x - baseW, y);
  cairo_line_to(cr, x - tipW, tipY);
  cairo_line_to(cr, x + tipW, tipY);
  cairo_line_to(cr, x + baseW, y);
  cairo_close_path(cr);
  cairo_pattern_t* bat = chrome(x - tipW, 0, x + tipW, 0);
  cairo_set_source(cr, bat);
  cairo_fill(cr);
  cairo_pattern_destroy(bat);
  cairo_pattern_t* ball = cairo_pattern_create_radial(x - 1.6, tipY - 1.8, 0.3, x, tipY, tipW + 0.4);
  addStop(ball, 0, {1, 1, 1});
  addStop(ball, 0.5, {0.70, 0.71, 0.73});
  addStop(ball, 1, {0.28, 0.29, 0.31});
  cairo_set_source(cr, ball);
  cairo_arc(cr, x, tipY, tipW + 0.4, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(ball);
}

}  // namespace

cairo_surface_t* renderPowerSwitch(int scale) {
  cairo_surface_t* s = createPicture(kW, kH * 2, scale);
  cairo_t* cr = cairo_create(s);
  for (int state = 0; state < 2; ++state) {
    cairo_save(cr);
    cairo_translate(cr, 0, state * kH);
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_clip(cr);
    // Each state is drawn on its own scratch picture so shadows cannot bleed across halves.
    cairo_surface_t* half = createPicture(kW, kH, scale);
    cairo_t* hc = cairo_create(half);
    pilot(hc, state == 1);
    toggle(hc, state == 1);
    cairo_destroy(hc);
    cairo_set_source_surface(cr, half, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(half);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return s;
}

}  // namespace art
