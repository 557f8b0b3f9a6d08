// The knob film strips: a black skirted knob with a knurled body and a brushed brass cap
// (the big one) and a knurled knob with a brass cap (the small one). The light stays put
// while the pointer, the skirt line and the knurling turn through the knobs' 270 degrees.
#ifndef KORVALITE_TOOLS_ART_KNOBART_H
#define KORVALITE_TOOLS_ART_KNOBART_H

#include <cairo.h>

namespace art {

enum class KnobSize { kBig, kSmall };

// Pointer angle of frame `frame` of `frames`, in radians, counter-clockwise from +x with y up:
// the same start and sweep as the knob control, with frame 0 at the minimum.
double knobAngle(int frame, int frames);

// Renders `count` frames of the strip from frame `first` on, stacked top to bottom (a 2x
// strip is taller than one Cairo surface may be, so it is rendered in parts). Each frame
// starts from `ground` (one frame's size: what the background shows under the knob's
// rectangle), so the frames are opaque and compress across frames; with a null ground they
// are transparent around the knob. The strip is drawn at `scale` (see createPicture), as the
// ground must be.
cairo_surface_t* renderKnobStrip(KnobSize size, cairo_surface_t* ground, int scale, int first, int count);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_KNOBART_H
