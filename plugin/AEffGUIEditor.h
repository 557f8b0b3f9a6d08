// The editor bridge between the effect, the host's editor opcodes and the GUI toolkit: it
// holds the toolkit's top-level frame while the window is open, passes the host's editor
// requests on to it, and gives the frame the few effect services it needs (edit brackets,
// the knob mode, an idle that also lets the host run).
//
// Threads: every operation runs on the thread that sends the editor opcodes and owns the
// window, normally the host's user-interface thread; setParameter also arrives from
// whichever thread changes a parameter. Nothing here locks.
#pragma once

#include <cstdint>

#include "gui/frame/VSTGUIEditorInterface.h"
#include "plugin/AEffEditor.h"

class AudioEffectX;

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  // Registers with the effect (which then owns this editor and announces it to the host) and
  // initialises OLE for the constructing thread; drag and drop needs it.
  explicit AEffGUIEditor(AudioEffect* effect);
  // Releases OLE for the destroying thread.
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  void idle() override;
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  // The wheel turned by `distance` notches at the current pointer position.
  bool onWheel(float distance) override;
  // Sets the knob mode of every editor in the process.
  bool setKnobMode(VstInt32 mode) override;
  void setParameter(VstInt32 /*index*/, float /*value*/) override {}
  // Redraws `rect` (either corner order), or the whole frame when null.
  void draw(ERect* rect) override;

  // The toolkit's side. idleWithHost runs the editor's idle and the host's idle, pacing busy
  // loops: a call within 50 ms of the previous run first sleeps 4 ms.
  void idleWithHost() override;
  int32_t getKnobMode() const override;
  // Passed to the host; the editor counts the edits still open for each parameter.
  void beginEdit(int32_t index) override;
  // An end with no open edit (a pop-up that returns after close ended its edit) is dropped.
  void endEdit(int32_t index) override;
  // Ends every open edit: a closed window can no longer release the control that began it,
  // and a host in touch mode would keep the parameter latched.
  void close() override;

  // The process-wide knob mode (0 circular, 1 relative circular, 2 linear).
  static int32_t knobMode();

 protected:
  ERect rect = {0, 0, 0, 0};
  uint32_t lastTicks = 0;
  bool inIdleWithHost = false;

  // Forgets the open edits without telling the host: for a destructor, which runs after the
  // effect's own parts are gone.
  void forgetOpenEdits();

 private:
  // Parameters 0..31 are counted; an edit of any other index is passed on uncounted.
  static constexpr int32_t kCountedEdits = 32;
  int32_t openEdits[kCountedEdits] = {};
  // The effect as the extended protocol sees it (edit brackets); null for a plain effect.
  AudioEffectX* effectX = nullptr;
};

// What the bridge takes from the platform (AEffGUIEditorWin32.cpp on Windows).
namespace editorplatform {
// The system's millisecond tick count (wraps at 2^32).
uint32_t ticks();
void sleepMilliseconds(uint32_t milliseconds);
// Removes and dispatches one WM_PAINT waiting in the calling thread's queue, if there is one.
void dispatchOnePendingPaint();
void initialiseOle();
void releaseOle();
}  // namespace editorplatform
