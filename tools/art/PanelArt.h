// The editor's background: a tolex-covered amplifier head with a window onto its chassis
// above and a brushed-brass control panel below, printed with every control's caption,
// the knob scales and the menus' captions around the places the editor gives them.
#ifndef KORVALITE_TOOLS_ART_PANELART_H
#define KORVALITE_TOOLS_ART_PANELART_H

#include <cairo.h>

#include "tools/art/FontSet.h"

namespace art {

// The window onto the chassis and the control panel, in background pixels.
constexpr double kBayX = 30, kBayY = 28, kBayW = 1131, kBayH = 442;
constexpr double kPanelX = 30, kPanelY = 486, kPanelW = 1131, kPanelH = 220;

// The background at `scale` (1 or 2): see createPicture.
cairo_surface_t* renderBackground(const FontSet& fonts, int scale);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_PANELART_H
