// What the window above the control panel shows: the amplifier's chassis with its valves
// glowing, the input and output transformers (carrying the plates where the editor shows
// the transformer menus), the output-tap plate and the product badge.
#ifndef KORVALITE_TOOLS_ART_CHASSISART_H
#define KORVALITE_TOOLS_ART_CHASSISART_H

#include <cairo.h>

#include "tools/art/FontSet.h"

namespace art {

// Draws into the bay rectangle (x, y, w, h) of the background; the caller clips to it.
void drawChassis(cairo_t* cr, const FontSet& fonts, double x, double y, double w, double h);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_CHASSISART_H
