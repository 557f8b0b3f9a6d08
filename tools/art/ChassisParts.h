// Pieces of the chassis view shared by the files that draw it: the deck's geometry, the
// valves, the transformers and the plates that carry the menus' captions.
#ifndef KORVALITE_TOOLS_ART_CHASSISPARTS_H
#define KORVALITE_TOOLS_ART_CHASSISPARTS_H

#include <cairo.h>

#include "tools/art/FontSet.h"
#include "tools/art/Paint.h"

namespace art {
namespace chassis {

// The chassis deck the parts stand on: its top surface, then its front lip.
constexpr double kDeckTop = 404, kDeckFront = 434;
// Where the parts' feet touch the deck.
constexpr double kFloor = 420;
// The colour of a valve's heater glow.
constexpr Rgb kGlow{1.0, 0.45, 0.12};

enum class Valve { kPreamp, kPower, kRectifier };

// A valve standing in its socket on the deck, glowing, with its light on the wall.
void valve(cairo_t* cr, Valve type, double cx, double top);
// The valves' light on the deck in front of them.
void deckGlow(cairo_t* cr, double cx, double r);
// A standing object's shadow on the deck.
void footShadow(cairo_t* cr, double cx, double halfW);

// A riveted plate: ivory for black print, black for light print; and a caption on it.
void plate(cairo_t* cr, double x, double y, double w, double h, bool ivory);
void plateText(cairo_t* cr, const FontSet& fonts, double x, double baseline, const char* text, bool ivory,
               double size, double tracking = 1.0);

// The transformers carry the plates under the transformer menus.
void inputTransformer(cairo_t* cr, const FontSet& fonts);
void outputTransformer(cairo_t* cr, const FontSet& fonts);
void capacitorCan(cairo_t* cr, const FontSet& fonts, double cx, double top, double w);

}  // namespace chassis
}  // namespace art

#endif  // KORVALITE_TOOLS_ART_CHASSISPARTS_H
