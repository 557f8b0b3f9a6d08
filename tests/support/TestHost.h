// A host callback that records every call and answers from a table, and a small effect
// and editor that record what the shell asks of them.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin/AEffEditor.h"
#include "plugin/AudioEffectX.h"

struct HostCall {
  AEffect* effect;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

// The callback reaches the current RecordingHost through a global: the VST callback has
// no user pointer of its own.
class RecordingHost {
 public:
  RecordingHost();
  ~RecordingHost();
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
  int count(VstInt32 opcode) const;
  const HostCall* last(VstInt32 opcode) const;

  std::vector<HostCall> calls;
  std::map<VstInt32, VstIntPtr> answers;  // opcode -> answer; 0 when absent
};

class TestEditor : public AEffEditor {
 public:
  explicit TestEditor(AudioEffect* effect) : AEffEditor(effect) { effect->setEditor(this); }
  ~TestEditor() override { ++destroyed; }
  bool getRect(ERect** r) override {
    *r = &rect;
    return true;
  }
  bool open(void* parent) override {
    AEffEditor::open(parent);
    return true;
  }
  bool onKeyDown(VstKeyCode& key) override {
    lastKey = key;
    return true;
  }
  bool onKeyUp(VstKeyCode& key) override {
    lastKey = key;
    return false;
  }
  bool setKnobMode(VstInt32 mode) override {
    knobMode = mode;
    return true;
  }
  void idle() override { ++idles; }

  static int destroyed;
  ERect rect{0, 0, 300, 400};
  VstKeyCode lastKey{};
  VstInt32 knobMode = -1;
  int idles = 0;
};

// Its text operations write far more than any host buffer holds and never test their
// pointer, so only the dispatcher's bounds and null checks stand between them and the host.
class TestEffect : public AudioEffectX {
 public:
  static constexpr VstInt32 kPrograms = 4;
  static constexpr VstInt32 kParams = 3;
  static constexpr const char* kLongText =
      "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-abcdefghij";

  explicit TestEffect(audioMasterCallback master) : AudioEffectX(master, kPrograms, kParams) {}
  ~TestEffect() override { ++destroyed; }

  void open() override { log.push_back("open"); }
  void close() override { log.push_back("close"); }
  void suspend() override { log.push_back("suspend"); }
  void resume() override {
    log.push_back("resume");
    AudioEffectX::resume();
  }
  void setProgram(VstInt32 program) override {
    log.push_back("setProgram " + std::to_string(program));
    AudioEffectX::setProgram(program);
  }
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
  void setParameter(VstInt32 index, float value) override { lastParameter = {index, value}; }
  void setProgramName(const char* name) override { programName = name; }
  void getProgramName(char* text) override { writeLong(text); }
  void getParameterLabel(VstInt32, char* text) override { writeLong(text); }
  void getParameterDisplay(VstInt32, char* text) override { writeLong(text); }
  void getParameterName(VstInt32, char* text) override { writeLong(text); }
  VstInt32 getChunk(void** data, bool) override {
    *data = nullptr;
    return 7;
  }
  bool string2parameter(VstInt32, const char* text) override { return text[0] != '\0'; }
  bool getProgramNameIndexed(VstInt32, VstInt32 index, char* text) override {
    writeLong(text);
    return index >= 0 && index < kPrograms;
  }
  bool getEffectName(char* text) override { return writeLong(text); }
  bool getVendorString(char* text) override { return writeLong(text); }
  bool getProductString(char* text) override { return writeLong(text); }
  VstInt32 canDo(const char* text) override {
    return std::string(text) == "receiveVstMidiEvent" ? takesMidi : -1;
  }
  VstInt32 processEvents(VstEvents* events) override { return *reinterpret_cast<char*>(events) != 0 ? 1 : 0; }

  static int destroyed;
  std::vector<std::string> log;
  std::string programName;
  std::pair<VstInt32, float> lastParameter{-1, 0.0f};
  VstInt32 takesMidi = 1;

 private:
  static bool writeLong(char* text) {
    std::strcpy(text, kLongText);
    return true;
  }
};
