#include "tools/art/ArtSet.h"

#include "resources/ResourceIds.h"
#include "tools/art/KnobArt.h"
#include "tools/art/MeterArt.h"
#include "tools/art/PanelArt.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/SwitchArt.h"

namespace art {

namespace {

// The part of the background under a control's rectangle.
cairo_surface_t* crop(cairo_surface_t* image, const Box& box) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, box.w, box.h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_surface(cr, image, -box.x, -box.y);
  cairo_paint(cr);
  cairo_destroy(cr);
  return s;
}

}  // namespace

std::vector<Picture> renderPictures(const FontSet& fonts) {
  std::vector<Picture> out;
  cairo_surface_t* background = renderBackground(fonts);
  out.push_back({KORVALITE_RES_BACKGROUND, "background.png", background});
  // The knobs are always drawn at their places over this background, so their frames carry
  // the background as ground: opaque frames small enough for the compressor to reuse the
  // previous frame, which keeps the tall strips compact. The big knobs' grounds are the same
  // under all three (see the dial plates).
  cairo_surface_t* bigGround = crop(background, layout::kGain);
  out.push_back({KORVALITE_RES_KNOB_BIG, "knob_big.png", renderKnobStrip(KnobSize::kBig, bigGround)});
  cairo_surface_destroy(bigGround);
  cairo_surface_t* smallGround = crop(background, layout::kMix);
  out.push_back({KORVALITE_RES_KNOB_SMALL, "knob_small.png", renderKnobStrip(KnobSize::kSmall, smallGround)});
  cairo_surface_destroy(smallGround);
  out.push_back({KORVALITE_RES_VU_LEFT, "vu_left.png", renderMeterStrip(fonts, "LEFT")});
  out.push_back({KORVALITE_RES_VU_RIGHT, "vu_right.png", renderMeterStrip(fonts, "RIGHT")});
  out.push_back({KORVALITE_RES_POWER_SWITCH, "power_switch.png", renderPowerSwitch()});
  return out;
}

void releasePictures(std::vector<Picture>* pictures) {
  for (Picture& p : *pictures) cairo_surface_destroy(p.image);
  pictures->clear();
}

}  // namespace art
