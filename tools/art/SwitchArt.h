// The power switch picture: a chrome bat-lever toggle beside a red jewel pilot light, the
// off state (lever down, lamp dark) above and the on state (lever up, lamp lit) below. It is
// transparent around the hardware, so the panel's printing shows through (including where
// the supply menu's text and the mix knob overlap the switch's rectangle).
#ifndef KORVALITE_TOOLS_ART_SWITCHART_H
#define KORVALITE_TOOLS_ART_SWITCHART_H

#include <cairo.h>

#include "resources/ResourceIds.h"

namespace art {

// Centres of the pilot light and of the toggle inside one 121 x 105 state picture.
constexpr double kPilotX = 28, kPilotY = 56;
constexpr double kToggleX = KORVALITE_RES_POWER_SWITCH_LEVER_X, kToggleY = KORVALITE_RES_POWER_SWITCH_LEVER_Y;

// Both states at `scale` (1 or 2): see createPicture.
cairo_surface_t* renderPowerSwitch(int scale);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_SWITCHART_H
