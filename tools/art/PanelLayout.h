// Where the editor places each control on the background (left, top, width, height in
// pixels), as the editor's layout builds them; the artwork prints captions and scales around
// these rectangles and the preview pastes the film strips into them.
#ifndef KORVALITE_TOOLS_ART_PANELLAYOUT_H
#define KORVALITE_TOOLS_ART_PANELLAYOUT_H

namespace art {

struct Box {
  int x, y, w, h;
  double cx() const { return x + w * 0.5; }
  double cy() const { return y + h * 0.5; }
};

namespace layout {

constexpr int kWidth = 1191;
constexpr int kHeight = 734;

constexpr Box kGain{80, 538, 97, 101};
constexpr Box kTone{246, 538, 97, 101};
constexpr Box kVolume{864, 539, 97, 101};
constexpr Box kMix{1067, 616, 27, 30};
constexpr Box kPower{1037, 520, 121, 105};
constexpr Box kMeterLeft{448, 555, 114, 87};
constexpr Box kMeterRight{660, 554, 114, 87};
constexpr Box kInputMenu{88, 195, 49, 17};
constexpr Box kOutputMenu{1011, 178, 62, 22};
constexpr Box kSupplyMenu{1046, 511, 75, 22};
constexpr Box kTapMenu{334, 95, 190, 22};

// A knob turns about the point half its width from its top-left corner, in both directions
// (the controls treat the knob as a circle whose diameter is its width).
inline double knobCx(const Box& b) {
  return b.x + b.w * 0.5;
}
inline double knobCy(const Box& b) {
  return b.y + b.w * 0.5;
}

// The knobs' travel: the minimum at 225 degrees (lower left), 270 degrees clockwise to the
// maximum at -45 degrees (lower right); angles counter-clockwise from +x with y up.
constexpr double kKnobStartDeg = 225.0;
constexpr double kKnobSweepDeg = -270.0;

}  // namespace layout
}  // namespace art

#endif  // KORVALITE_TOOLS_ART_PANELLAYOUT_H
