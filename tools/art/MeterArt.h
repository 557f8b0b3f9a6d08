// The level meter film strips: a backlit cream face with a printed dB scale in a black bezel,
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

// Where a level in dB sits on the scale. The effect publishes its meter levels in dB mapped
// linearly from -72..0 dB to 0..1, so the scale is printed the same way: a VU scale spaced by
// amplitude would put its 0 VU near -21 dB of what the needle shows.
double dbPosition(double db);

// `count` frames of the strip from frame `first` on, at `scale` (1 or 2, see createPicture).
cairo_surface_t* renderMeterStrip(const FontSet& fonts, const std::string& channel, int scale, int first,
                                  int count);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_METERART_H
