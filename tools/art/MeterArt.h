// The VU meter film strips: a backlit cream face with a printed VU scale in a black bezel,
// and a needle that moves from its rest stop (first frame) to full scale (last frame).
#ifndef KORVALITE_TOOLS_ART_METERART_H
#define KORVALITE_TOOLS_ART_METERART_H

#include <cairo.h>

#include <string>

#include "tools/art/FontSet.h"

namespace art {

// The needle's deflection for a meter value in 0..1, in radians from vertical (negative to
// the left). The movement is linear in the value, as the editor feeds it.
double meterDeflection(double value);

// Where a level in VU sits on the scale: 0 VU at the standard 71 % of full deflection
// (+3 VU is full scale), the marks spaced by amplitude as on a real VU meter.
double vuPosition(double vu);

cairo_surface_t* renderMeterStrip(const FontSet& fonts, const std::string& channel);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_METERART_H
