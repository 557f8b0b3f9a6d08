#include "tools/art/ArtSet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/ResourceIds.h"
#include "tools/art/KnobArt.h"
#include "tools/art/MeterArt.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelArt.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/SwitchArt.h"

namespace art {

const char* const kPartsScript = "Pictures2x.rc";

namespace {

// The part of the background under a control's rectangle.
cairo_surface_t* crop(cairo_surface_t* image, const Box& box) {
  cairo_surface_t* s = createPicture(box.w, box.h, pictureScale(image));
  cairo_t* cr = cairo_create(s);
  cairo_set_source_surface(cr, image, -box.x, -box.y);
  cairo_paint(cr);
  cairo_destroy(cr);
  return s;
}

}  // namespace

std::vector<Picture> renderPictures(const FontSet& fonts, int scale) {
  std::vector<Picture> out;
  // Cuts a picture of `frames` frames into its files and renders each with
  // render(first, count).
  auto add = [&](int id, const std::string& name, int frames, auto render) {
    Picture picture{id, frames, {}};
    if (scale == 1) {
      picture.files.push_back({id, name + ".png", 0, frames, render(0, frames)});
      out.push_back(picture);
      return;
    }
    for (int part = 0; part * KORVALITE_RES_2X_FRAMES_PER_PART < frames; ++part) {
      const int first = part * KORVALITE_RES_2X_FRAMES_PER_PART;
      const int count = std::min(KORVALITE_RES_2X_FRAMES_PER_PART, frames - first);
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, "_%02d.png", part);
      picture.files.push_back(
          {KORVALITE_RES_2X_PART(id, part), "2x/" + name + suffix, first, count, render(first, count), true});
    }
    out.push_back(picture);
  };
  cairo_surface_t* background = renderBackground(fonts, scale);
  add(KORVALITE_RES_BACKGROUND, "background", 1, [&](int, int) { return background; });
  // The knobs are always drawn at their places over this background, so their frames carry
  // the background as ground: opaque frames small enough for the compressor to reuse the
  // previous frame, which keeps the tall strips compact. The big knobs' grounds are the same
  // under all three (see the dial plates).
  cairo_surface_t* bigGround = crop(background, layout::kGain);
  add(KORVALITE_RES_KNOB_BIG, "knob_big", KORVALITE_RES_KNOB_BIG_FRAMES,
      [&](int first, int count) { return renderKnobStrip(KnobSize::kBig, bigGround, scale, first, count); });
  cairo_surface_destroy(bigGround);
  cairo_surface_t* smallGround = crop(background, layout::kMix);
  add(KORVALITE_RES_KNOB_SMALL, "knob_small", KORVALITE_RES_KNOB_SMALL_FRAMES, [&](int first, int count) {
    return renderKnobStrip(KnobSize::kSmall, smallGround, scale, first, count);
  });
  cairo_surface_destroy(smallGround);
  add(KORVALITE_RES_VU_LEFT, "vu_left", KORVALITE_RES_VU_FRAMES,
      [&](int first, int count) { return renderMeterStrip(fonts, "LEFT", scale, first, count); });
  add(KORVALITE_RES_VU_RIGHT, "vu_right", KORVALITE_RES_VU_FRAMES,
      [&](int first, int count) { return renderMeterStrip(fonts, "RIGHT", scale, first, count); });
  add(KORVALITE_RES_POWER_SWITCH, "power_switch", KORVALITE_RES_POWER_SWITCH_FRAMES,
      [&](int, int) { return renderPowerSwitch(scale); });
  return out;
}

cairo_surface_t* storedImage(const PictureFile& f) {
  if (!f.sideBySide || f.frameCount <= 1) return cairo_surface_reference(f.image);
  const int width = cairo_image_surface_get_width(f.image);
  const int frameHeight = cairo_image_surface_get_height(f.image) / f.frameCount;
  cairo_surface_t* stored =
      cairo_image_surface_create(cairo_image_surface_get_format(f.image), width * f.frameCount, frameHeight);
  cairo_surface_flush(f.image);
  const unsigned char* from = cairo_image_surface_get_data(f.image);
  unsigned char* to = cairo_image_surface_get_data(stored);
  const int fromStride = cairo_image_surface_get_stride(f.image),
            toStride = cairo_image_surface_get_stride(stored);
  for (int frame = 0; frame < f.frameCount; ++frame) {
    for (int y = 0; y < frameHeight; ++y) {
      std::memcpy(to + static_cast<size_t>(y) * toStride + static_cast<size_t>(frame) * width * 4,
                  from + static_cast<size_t>(frame * frameHeight + y) * fromStride,
                  static_cast<size_t>(width) * 4);
    }
  }
  cairo_surface_mark_dirty(stored);
  return stored;
}

void releasePictures(std::vector<Picture>* pictures) {
  for (Picture& p : *pictures) {
    for (PictureFile& f : p.files) cairo_surface_destroy(f.image);
  }
  pictures->clear();
}

std::string partsScript(const std::vector<Picture>& pictures2x) {
  std::string text =
      "// The editor's pictures at 2x in parts, written by korvalite_art --out: do not edit.\n"
      "// Identifiers: KORVALITE_RES_2X_PART(resource, part), as numbers for the resource compiler.\n";
  for (const Picture& p : pictures2x) {
    for (const PictureFile& f : p.files) text += std::to_string(f.resourceId) + " PNG \"" + f.path + "\"\n";
  }
  return text;
}

}  // namespace art
