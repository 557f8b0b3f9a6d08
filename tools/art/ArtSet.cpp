#include "tools/art/ArtSet.h"

#include "resources/ResourceIds.h"
#include "tools/art/KnobArt.h"
#include "tools/art/MeterArt.h"
#include "tools/art/PanelArt.h"
#include "tools/art/SwitchArt.h"

namespace art {

std::vector<Picture> renderPictures(const FontSet& fonts) {
  std::vector<Picture> out;
  out.push_back({KORVALITE_RES_BACKGROUND, "background.png", renderBackground(fonts)});
  out.push_back({KORVALITE_RES_KNOB_BIG, "knob_big.png", renderKnobStrip(KnobSize::kBig)});
  out.push_back({KORVALITE_RES_KNOB_SMALL, "knob_small.png", renderKnobStrip(KnobSize::kSmall)});
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
