// The host side of the VST 2.4 callback: answers what a DAW answers and logs the plug-in's
// automation and edit gestures on stderr.
//
// The callback is a plain function without a user pointer, and plug-ins call it before their
// record exists (VSTPluginMain asks for the host version with a null effect), so the answers
// come from the one HostCallback that is active: this tool hosts one plug-in at a time.
// The plug-in may call from any thread it likes; the settings read here are written only
// before processing starts.
#pragma once

#include <atomic>
#include <functional>

#include "plugin/VstInterface.h"

class HostCallback {
 public:
  HostCallback();
  ~HostCallback();
  HostCallback(const HostCallback&) = delete;
  HostCallback& operator=(const HostCallback&) = delete;

  // The function handed to the plug-in's entry point.
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);

  // What audioMasterGetSampleRate / GetBlockSize answer.
  void setSampleRate(double rate) { sampleRate_ = rate; }
  void setBlockSize(int frames) { blockSize_ = frames; }
  // audioMasterPinConnected answers "connected" (0) for pins below these counts.
  void setConnectedPins(int inputs, int outputs) {
    connectedInputs_ = inputs;
    connectedOutputs_ = outputs;
  }

  // True once the plug-in has announced changed numbers (audioMasterIOChanged) since the last
  // call; the caller then rereads the record.
  bool takeIoChanged() { return ioChanged_.exchange(false); }
  int automationCount() const { return automations_.load(); }
  // How audioMasterSizeWindow is answered (width, height of the editor): without a handler, or
  // when it answers false, the host refuses, as one whose window has a fixed size.
  void onSizeWindow(std::function<bool(int width, int height)> handler) { sizeWindow_ = std::move(handler); }

 private:
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  static VstIntPtr canDo(const char* text);

  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  int connectedInputs_ = 2;
  int connectedOutputs_ = 2;
  std::atomic<bool> ioChanged_{false};
  std::atomic<int> automations_{0};
  std::function<bool(int, int)> sizeWindow_;
};
