// One effect instance driven the way a DAW drives it: created through the entry point, opened,
// told the sample rate and block size, switched on (effMainsChanged 1) around processing and
// off and closed at the end. The destructor finishes whatever sequence is still open, so an
// error in the middle of a command still ends with effMainsChanged 0 and effClose.
//
// Every call comes from the tool's one thread, which plays both the DAW's GUI and audio threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/VstInterface.h"

class PluginModule;

// A string the plug-in wrote, and whether it went past the published buffer length (which a
// host with a buffer of exactly that length would have seen as memory corruption).
struct PluginText {
  std::string text;
  bool overlong = false;
};

class PluginInstance {
 public:
  // Calls the entry point and effOpen; a HostCallback must be active. Throws HostError when the
  // entry point answers null or something that is not an effect record.
  explicit PluginInstance(const PluginModule& module);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const AEffect& record() const { return *effect_; }

  void setSampleRate(double rate);
  void setBlockSize(int frames);
  // Throws HostError for a program or parameter index the plug-in does not have.
  void setProgram(int program);
  void setParameter(int index, float value);
  float parameter(int index) const;
  int currentProgram() const;

  PluginText effectName() const { return text(effGetEffectName, 0, kVstMaxEffectNameLen); }
  PluginText vendorString() const { return text(effGetVendorString, 0, kVstMaxVendorStrLen); }
  PluginText productString() const { return text(effGetProductString, 0, kVstMaxProductStrLen); }
  PluginText parameterName(int index) const { return text(effGetParamName, index, kVstMaxParamStrLen); }
  PluginText parameterLabel(int index) const { return text(effGetParamLabel, index, kVstMaxParamStrLen); }
  PluginText parameterDisplay(int index) const { return text(effGetParamDisplay, index, kVstMaxParamStrLen); }
  // The name of any program, through effGetProgramNameIndexed when the plug-in offers it and
  // otherwise by selecting the program, reading its name and selecting the previous one again.
  PluginText programName(int program);

  VstIntPtr vendorVersion() const { return dispatch(effGetVendorVersion); }
  VstIntPtr vstVersion() const { return dispatch(effGetVstVersion); }
  VstIntPtr category() const { return dispatch(effGetPlugCategory); }
  // 1 yes, -1 no, 0 don't know.
  VstIntPtr canDo(const char* text) const;

  // The plug-in's state as a host stores it (effGetChunk; empty when it gives none), and the same
  // handed back (effSetChunk; false when refused). program: the current program's, else the bank's.
  std::vector<uint8_t> chunk(bool program) const;
  bool setChunk(std::vector<uint8_t>& bytes, bool program);

  // effMainsChanged 1 and effStartProcess; then process(); then stop() switches off again.
  void start();
  void stop();
  // Runs the plug-in on one block; inputs and outputs hold at least numInputs and numOutputs
  // channels as they were at start(), outputCount of them outputs.
  void process(float** inputs, float** outputs, int outputCount, int frames);

 private:
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  PluginText text(VstInt32 opcode, VstInt32 index, size_t limit) const;

  AEffect* effect_ = nullptr;
  bool running_ = false;
};
