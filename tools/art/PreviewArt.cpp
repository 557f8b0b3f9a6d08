#include <cmath>

#include "resources/ResourceIds.h"
#include "tools/art/ArtSet.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"

namespace art {

namespace {

const Picture* find(const std::vector<Picture>& pictures, int id) {
  for (const Picture& p : pictures) {
    if (p.resourceId == id) return &p;
  }
  return nullptr;
}

// Pastes the frame a film-strip control shows for `value`, chosen as the control does:
// the frame whose top edge is the largest multiple of the frame height at or below
// value x frame height x (frames - 1).
void pasteFrame(cairo_t* cr, const Picture* strip, const Box& box, int frameHeight, int frames,
                double value) {
  if (!strip) return;
  int total = frameHeight * (frames - 1);
  int frame = static_cast<int>(value * total) / frameHeight;
  for (const PictureFile& f : strip->files) {
    if (frame < f.firstFrame || frame >= f.firstFrame + f.frameCount) continue;
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, f.image, box.x, box.y - frameHeight * (frame - f.firstFrame));
    cairo_paint(cr);
    cairo_restore(cr);
  }
}

void menuText(cairo_t* cr, const FontSet& fonts, const Box& box, const char* text, double r, double g,
              double b, double a) {
  cairo_set_source_rgba(cr, r / 255, g / 255, b / 255, a / 255);
  double w = fonts.width(cr, Face::kSans, 14, text);
  // Centred like the menus draw their text: horizontally and on the box's middle line.
  fonts.path(cr, Face::kSans, 14, box.x + (box.w - w) / 2, box.y + box.h / 2.0 + 5, text, Align::kLeft);
  cairo_fill(cr);
}

}  // namespace

cairo_surface_t* renderPreview(const FontSet& fonts, const std::vector<Picture>& pictures,
                               const PreviewSettings& settings) {
  const Picture* bg = find(pictures, KORVALITE_RES_BACKGROUND);
  cairo_surface_t* s =
      createPicture(layout::kWidth, layout::kHeight, bg ? pictureScale(bg->files[0].image) : 1);
  cairo_t* cr = cairo_create(s);
  if (bg) {
    cairo_set_source_surface(cr, bg->files[0].image, 0, 0);
    cairo_paint(cr);
  }
  // The order of the editor's views: knobs, switch, meters, menus.
  const Picture* big = find(pictures, KORVALITE_RES_KNOB_BIG);
  const int bigH = KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT, bigN = KORVALITE_RES_KNOB_BIG_FRAMES;
  pasteFrame(cr, big, layout::kGain, bigH, bigN, settings.gain);
  pasteFrame(cr, big, layout::kTone, bigH, bigN, settings.tone);
  pasteFrame(cr, big, layout::kVolume, bigH, bigN, settings.volume);
  pasteFrame(cr, find(pictures, KORVALITE_RES_KNOB_SMALL), layout::kMix,
             KORVALITE_RES_KNOB_SMALL_FRAME_HEIGHT, KORVALITE_RES_KNOB_SMALL_FRAMES, settings.mix);
  pasteFrame(cr, find(pictures, KORVALITE_RES_POWER_SWITCH), layout::kPower,
             KORVALITE_RES_POWER_SWITCH_FRAME_HEIGHT, KORVALITE_RES_POWER_SWITCH_FRAMES,
             settings.power ? 1 : 0);
  pasteFrame(cr, find(pictures, KORVALITE_RES_VU_LEFT), layout::kMeterLeft, KORVALITE_RES_VU_FRAME_HEIGHT,
             KORVALITE_RES_VU_FRAMES, settings.meterLeft);
  pasteFrame(cr, find(pictures, KORVALITE_RES_VU_RIGHT), layout::kMeterRight, KORVALITE_RES_VU_FRAME_HEIGHT,
             KORVALITE_RES_VU_FRAMES, settings.meterRight);
  menuText(cr, fonts, layout::kInputMenu, "Input 1", 0, 0, 0, 200);
  menuText(cr, fonts, layout::kOutputMenu, "Output 1", 0, 0, 0, 200);
  menuText(cr, fonts, layout::kSupplyMenu, "Stiff", 0, 0, 0, 200);
  menuText(cr, fonts, layout::kTapMenu, "Tap to Preamp", 200, 200, 200, 120);
  menuText(cr, fonts, layout::kCabMenu, "2x12 Open Back", 200, 200, 200, 120);
  cairo_destroy(cr);
  return s;
}

}  // namespace art
