// Procedural surface textures, computed per pixel from the deterministic noise in Paint.h:
// pebbled tolex for the cabinet and brushed metal for the panel and the chassis.
#ifndef KORVALITE_TOOLS_ART_TEXTURE_H
#define KORVALITE_TOOLS_ART_TEXTURE_H

#include <cairo.h>

#include <cstdint>

#include "tools/art/Paint.h"

namespace art {

// Both are pictures of `width` x `height` units at `scale` (see createPicture), computed from
// the same noise at every scale: a finer picture samples it more densely, so the grain keeps
// its size and only gets sharper (the brushing's hairlines, a pixel wide, get finer).

// Black vinyl covering with a raised pebble grain lit from the upper left.
cairo_surface_t* tolexTexture(int width, int height, int scale, uint32_t seed);

// Metal brushed along x (or along y when `vertical`): long streaks of slightly varying
// brightness over `base`. `amount` is the streaks' strength (0.05 is subtle).
cairo_surface_t* brushedTexture(int width, int height, int scale, Rgb base, double amount, bool vertical,
                                uint32_t seed);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_TEXTURE_H
