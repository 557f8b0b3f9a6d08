// Base class of every effect: owns the effect record the host sees, turns the host's calls
// through the record's plain function pointers into virtual operations, wraps the first
// host callbacks and owns the editor.
//
// Threads: the host calls the record's process functions on its audio thread and the
// dispatcher, setParameter and getParameter on whichever thread it uses for them; this
// class adds no synchronisation. The host-callback wrappers call the host on the thread
// that calls them.
#pragma once

#include "plugin/Relaxed.h"
#include "plugin/VstInterface.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  // Destroys the editor, if there is one.
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  // Scratch space the dispatcher hands to the text operations below instead of the host's
  // buffer; what they write is then cut to the host's limit and copied over. Subclasses
  // should still keep to the kVstMax... limits themselves.
  static constexpr int kTextScratchSize = 256;

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}
  virtual void setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }
  virtual void setBlockSize(VstInt32 newBlockSize) { blockSize = newBlockSize; }
  // Audio thread.
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
  // A change made by the user in the editor: applied, then reported to the host.
  virtual void setParameterAutomated(VstInt32 index, float value);
  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual void setProgramName(const char* /*name*/) {}
  // The text operations write a terminated text; see kTextScratchSize.
  virtual void getProgramName(char* name) { writeEmpty(name); }
  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { writeEmpty(label); }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { writeEmpty(text); }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { writeEmpty(text); }
  virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }
  virtual void setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
  virtual void setNumInputs(VstInt32 inputs) { effectRecord.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { effectRecord.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
  virtual void setInitialDelay(VstInt32 delay) { effectRecord.initialDelay = delay; }
  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &effectRecord; }
  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }
  virtual VstInt32 getMasterVersion();
  virtual VstInt32 getCurrentUniqueId();
  virtual void masterIdle();
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);
  // Number formatting; maxLen is the size of `text`, terminator included. Nothing is
  // written when text is null or maxLen < 1.
  virtual void dB2string(float value, char* text, VstInt32 maxLen);
  virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
  virtual void ms2string(float samples, char* text, VstInt32 maxLen);
  virtual void float2string(float value, char* text, VstInt32 maxLen);
  virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);
  // The accumulating process call of older hosts; audio thread.
  virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
  virtual float getVu() { return 0.0f; }
  virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
  virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
  virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
  virtual void setRealtimeQualities(VstInt32 qualities) { effectRecord.realQualities = qualities; }
  virtual void setOfflineQualities(VstInt32 qualities) { effectRecord.offQualities = qualities; }

  // Takes ownership of `newEditor` (the GUI editor calls this from its constructor) and
  // tells the host through effFlagsHasEditor whether there is one.
  void setEditor(AEffEditor* newEditor);

 protected:
  // Calls the host with this effect's record; answers 0 without a host callback.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void setFlag(VstInt32 flag, bool state);
  bool hasFlag(VstInt32 flag) const { return (effectRecord.flags & flag) != 0; }
  static void writeEmpty(char* text) {
    if (text != nullptr) {
      text[0] = '\0';
    }
  }
  // Runs a text operation (a callable writing into the buffer it is given and answering
  // whether it answered) on a scratch buffer; when it answered, hands the host the text cut
  // to hostSize bytes, terminator included. Answers what the operation answered.
  template <typename Operation>
  static bool answerText(void* hostBuffer, VstInt32 hostSize, Operation operation);

  audioMasterCallback audioMaster;
  AEffEditor* editor = nullptr;
  // Set and read from different dispatcher threads (a host may ask for texts on its
  // user-interface thread while another thread switches programs or rates).
  Relaxed<float> sampleRate = 44100.0f;
  Relaxed<VstInt32> blockSize = 1024;
  VstInt32 numPrograms;
  VstInt32 numParams;
  Relaxed<VstInt32> curProgram = 0;
  AEffect effectRecord;
};

#include "plugin/VstStrings.h"

template <typename Operation>
bool AudioEffect::answerText(void* hostBuffer, VstInt32 hostSize, Operation operation) {
  char scratch[kTextScratchSize] = {};
  const bool answered = operation(scratch);
  scratch[kTextScratchSize - 1] = '\0';
  if (answered) {
    vstCopyString(static_cast<char*>(hostBuffer), scratch, static_cast<size_t>(hostSize));
  }
  return answered;
}
