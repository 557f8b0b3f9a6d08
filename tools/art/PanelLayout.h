// Where the editor places each control on the background (left, top, width, height in
// pixels), read from the editor's own layout table by parameter tag, so the artwork prints
// its captions and scales around the same rectangles the editor builds, and the preview
// pastes the film strips into them.
#ifndef KORVALITE_TOOLS_ART_PANELLAYOUT_H
#define KORVALITE_TOOLS_ART_PANELLAYOUT_H

#include <cstdint>

#include "editor/ControlsguiEditorLayout.h"

namespace art {

struct Box {
  int x, y, w, h;
  double cx() const { return x + w * 0.5; }
  double cy() const { return y + h * 0.5; }
};

namespace layout {

constexpr int kWidth = editorlayout::kFaceWidth;
constexpr int kHeight = editorlayout::kFaceHeight;

// A film-strip control's rectangle: its place, the strip's width and one frame's height.
constexpr Box stripBox(int32_t tag) {
  for (const editorlayout::StripControl& c : editorlayout::kStripControls) {
    if (c.tag == tag) return {c.x, c.y, c.stripWidth, c.frameHeight};
  }
  return {0, 0, 0, 0};
}

constexpr Box menuBox(int32_t tag) {
  for (const editorlayout::MenuControl& m : editorlayout::kMenus) {
    if (m.tag == tag) return {m.bounds.left, m.bounds.top, m.bounds.getWidth(), m.bounds.getHeight()};
  }
  return {0, 0, 0, 0};
}

constexpr Box kGain = stripBox(0);
constexpr Box kTone = stripBox(1);
constexpr Box kVolume = stripBox(2);
constexpr Box kMix = stripBox(3);
constexpr Box kMeterLeft = stripBox(4);
constexpr Box kMeterRight = stripBox(5);
constexpr Box kPower = stripBox(6);
constexpr Box kInputMenu = menuBox(7);
constexpr Box kOutputMenu = menuBox(8);
constexpr Box kSupplyMenu = menuBox(9);
constexpr Box kTapMenu = menuBox(10);
constexpr Box kCabMenu = {editorlayout::kCabMenuBounds.left, editorlayout::kCabMenuBounds.top,
                          editorlayout::kCabMenuBounds.getWidth(), editorlayout::kCabMenuBounds.getHeight()};

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
