// What the frame needs from the editor that owns it: edit brackets for automation, the
// process-wide knob mode and an idle that also lets the host run. The editor bridge in
// plugin/ implements it; the base answers 0 and does nothing.
#pragma once

#include <cstdint>

namespace VSTGUI {

class CFrame;

class VSTGUIEditorInterface {
 public:
  // GUI thread, during long mouse tracking (through CFrame::runEditorIdle).
  virtual void idleWithHost() {}
  virtual int32_t getKnobMode() const { return 0; }
  // GUI thread, around a user's edit of one parameter.
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  virtual ~VSTGUIEditorInterface() = default;

  CFrame* getFrame() const { return frame; }

 protected:
  CFrame* frame = nullptr;  // the toolkit frame while the window is open
};

}  // namespace VSTGUI
