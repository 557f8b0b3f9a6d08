// The battery's host: loads the real plug-in binary (Korvalite.so natively, Korvalite_64.dll
// under Wine), answers the plug-in's callbacks like a plain host or with 0 and null to
// everything, and drives an instance through its record with audio buffers that end at guard
// pages.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "plugin/VstInterface.h"
#include "tests/reliability/harness/Harness.h"
#include "tools/host/PluginModule.h"

namespace reliability {

enum class HostMode {
  kPlain,   // version 2400, every pin connected, the rate and block size below
  kSilent,  // 0 or null to everything, the version included
};

// What the host callback answers; shared by every instance of the process.
struct HostSettings {
  std::atomic<int> mode{static_cast<int>(HostMode::kPlain)};
  std::atomic<long> calls{0};
  std::atomic<long> automations{0};
  float sampleRate = 44100.0f;
  VstIntPtr blockSize = 512;
};
HostSettings& host();
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

// The plug-in module, loaded and unloaded again as often as a group wants, by the host tool's
// loader.
class PluginModule {
 public:
  // False, with the loader's reason on stderr, when the library cannot be loaded.
  bool load(const std::string& path);
  void unload() { module_.reset(); }
  bool loaded() const { return module_ != nullptr; }
  void* handle() const { return module_ ? module_->handle() : nullptr; }
  // Calls the entry point; null when the plug-in refuses.
  AEffect* create(audioMasterCallback callback = hostCallback) const;

 private:
  std::unique_ptr<::PluginModule> module_;
};

// The module every group uses, loaded once from the path the build passes in.
PluginModule& plugin();

// Guarded stereo audio: two inputs and two outputs of up to `capacity` samples, each handed
// out so that its last sample is the last byte before a guard page.
class StereoBuffers {
 public:
  explicit StereoBuffers(int capacity);
  float** in(int frames);
  float** out(int frames);
  int capacity() const { return capacity_; }

 private:
  int capacity_;
  GuardedBuffer inL_, inR_, outL_, outR_;
  float* ins_[2] = {};
  float* outs_[2] = {};
};

// One effect instance, driven through its record.
class Instance {
 public:
  explicit Instance(AEffect* effect = nullptr) : effect_(effect) {}
  ~Instance() { close(); }
  Instance(Instance&& o) noexcept : effect_(o.effect_) { o.effect_ = nullptr; }
  Instance& operator=(Instance&& o) noexcept;
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Created from plugin(), opened, at `rate` with `block`, resumed.
  static Instance started(float rate = 44100.0f, VstInt32 block = 512);

  AEffect* record() const { return effect_; }
  explicit operator bool() const { return effect_ != nullptr; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  void process(float** inputs, float** outputs, VstInt32 frames) const;
  void setParameter(VstInt32 index, float value) const;
  float getParameter(VstInt32 index) const;
  void close();

 private:
  AEffect* effect_ = nullptr;
};

}  // namespace reliability
