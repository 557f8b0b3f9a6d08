// The editor's film-strip knob: a CAnimKnob that shows an amber bar under itself while it has
// the keyboard's focus (reached with Tab), so a player working from the keyboard sees which knob
// the arrow keys turn. Focus taken by a click shows no mark: the hand on the mouse knows.
// Window thread only.
#pragma once

#include "gui/controls/CAnimKnob.h"

class ControlsguiKnob : public VSTGUI::CAnimKnob {
 public:
  using VSTGUI::CAnimKnob::CAnimKnob;

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPos where, VSTGUI::CButtonState buttons) override;
  void focusLost() override;
  VSTGUI::CView* clone() const override;

 private:
  bool focusedByMouse = false;
};
