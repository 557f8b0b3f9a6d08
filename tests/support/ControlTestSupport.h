// Recorders shared by the control tests: a listener and an editor interface that write every
// call into one event log, so tests can check the order of listener calls and edit brackets.
#pragma once

#include <string>
#include <vector>

#include "gui/controls/CControl.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/VSTGUIEditorInterface.h"

namespace controls_test {

using Log = std::vector<std::string>;

class RecordingListener : public VSTGUI::CControlListener {
 public:
  explicit RecordingListener(Log& l) : log(l) {}
  void valueChanged(VSTGUI::CControl* control) override {
    log.push_back("changed " + std::to_string(control->getTag()));
    lastChanged = control;
    lastValue = control->getValue();
  }
  int32_t onModifierClick(VSTGUI::CControl*, VSTGUI::CButtonState buttons) override {
    log.push_back("modifierClick");
    return (buttons & takeButtons) ? 1 : 0;
  }
  void onBeginEdit(VSTGUI::CControl*) override { log.push_back("listener begin"); }
  void onEndEdit(VSTGUI::CControl*) override { log.push_back("listener end"); }

  Log& log;
  VSTGUI::CButtonState takeButtons = 0;
  VSTGUI::CControl* lastChanged = nullptr;
  float lastValue = -100.0f;
};

class RecordingEditor : public VSTGUI::VSTGUIEditorInterface {
 public:
  explicit RecordingEditor(Log& l) : log(l) {}
  void idleWithHost() override { log.push_back("idle"); }
  int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(int32_t index) override { log.push_back("host begin " + std::to_string(index)); }
  void endEdit(int32_t index) override { log.push_back("host end " + std::to_string(index)); }

  Log& log;
  int32_t knobMode = 0;
};

// A frame without a window, as the editor would have, with a recording editor.
struct FrameFixture {
  Log log;
  RecordingEditor editor{log};
  RecordingListener listener{log};
  VSTGUI::CFrame* frame = new VSTGUI::CFrame(VSTGUI::CArea(0, 0, 400, 300), nullptr, &editor);
  ~FrameFixture() { delete frame; }

  size_t count(const std::string& event) const {
    size_t n = 0;
    for (const auto& e : log) n += e == event ? 1 : 0;
    return n;
  }
  // Every "changed" event lies inside an open edit bracket, and the brackets balance.
  bool changesBracketed() const {
    int open = 0;
    for (const auto& e : log) {
      if (e == "listener begin") ++open;
      if (e == "listener end") --open;
      if (open < 0) return false;
      if (e.rfind("changed", 0) == 0 && open == 0) return false;
    }
    return open == 0;
  }
};

}  // namespace controls_test
