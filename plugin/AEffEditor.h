// The editor as the effect's dispatcher sees it: rectangle, open, close, idle, keys, knob
// mode. The base answers "nothing to show"; the GUI editor derives from it and attaches a
// toolkit frame. The effect owns its editor and destroys it with itself.
//
// Threads: every operation runs on the thread that sends the editor opcodes, normally the
// host's user-interface thread; setParameter also runs on whichever thread changes a
// parameter (the dispatcher's or the audio thread's automation).
#pragma once

#include "plugin/VstInterface.h"

class AudioEffect;

class AEffEditor {
 public:
  // Registering with the effect (setEditor) is the derived editor's job, so that an editor
  // is announced to the host only once it can answer.
  explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
  virtual ~AEffEditor() = default;

  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  virtual AudioEffect* getEffect() { return effect; }

  // Points *rect at the editor's rectangle and answers true; the base has none.
  virtual bool getRect(ERect** rect) {
    if (rect != nullptr) {
      *rect = nullptr;
    }
    return false;
  }

  // Opens the editor as a child of `parentWindow`; the base only remembers the parent.
  virtual bool open(void* parentWindow) {
    systemWindow = parentWindow;
    return false;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual bool isOpen() { return systemWindow != nullptr; }
  virtual void idle() {}

  virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onWheel(float /*distance*/) { return false; }
  virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

  // Every parameter change of the effect reaches the editor here, open or not.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  // Redraws `rect` (the whole editor when null).
  virtual void draw(ERect* /*rect*/) {}

 protected:
  AudioEffect* effect;
  void* systemWindow = nullptr;
};
