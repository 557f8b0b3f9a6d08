#include "tests/reliability/harness/PluginHost.h"

#include <cstdio>
#include <cstdlib>

#include "tools/host/HostError.h"

#ifndef KORVALITE_PLUGIN
#error "the build passes the plug-in's path as KORVALITE_PLUGIN"
#endif

namespace reliability {

HostSettings& host() {
  static HostSettings settings;
  return settings;
}

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  HostSettings& h = host();
  h.calls.fetch_add(1, std::memory_order_relaxed);
  if (h.mode.load(std::memory_order_relaxed) == static_cast<int>(HostMode::kSilent)) {
    return 0;
  }
  switch (opcode) {
    case audioMasterVersion:
      return 2400;
    case audioMasterAutomate:
      h.automations.fetch_add(1, std::memory_order_relaxed);
      return 0;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(h.sampleRate);
    case audioMasterGetBlockSize:
      return h.blockSize;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      return 1;
    default:
      // audioMasterPinConnected answers 0: connected.
      return 0;
  }
}

bool PluginModule::load(const std::string& path) {
  unload();
  try {
    module_ = std::make_unique<::PluginModule>(path);
  } catch (const HostError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
  return true;
}

AEffect* PluginModule::create(audioMasterCallback callback) const {
  return module_ ? module_->entryPoint()(callback) : nullptr;
}

PluginModule& plugin() {
  static PluginModule* module = [] {
    auto* m = new PluginModule;
    if (!m->load(KORVALITE_PLUGIN)) {
      std::fprintf(stderr, "cannot load %s\n", KORVALITE_PLUGIN);
      std::abort();
    }
    return m;
  }();
  return *module;
}

StereoBuffers::StereoBuffers(int capacity)
    : capacity_(capacity),
      inL_(sizeof(float) * static_cast<size_t>(capacity)),
      inR_(sizeof(float) * static_cast<size_t>(capacity)),
      outL_(sizeof(float) * static_cast<size_t>(capacity)),
      outR_(sizeof(float) * static_cast<size_t>(capacity)) {}

float** StereoBuffers::in(int frames) {
  ins_[0] = inL_.last<float>(static_cast<size_t>(frames));
  ins_[1] = inR_.last<float>(static_cast<size_t>(frames));
  return ins_;
}

float** StereoBuffers::out(int frames) {
  outs_[0] = outL_.last<float>(static_cast<size_t>(frames));
  outs_[1] = outR_.last<float>(static_cast<size_t>(frames));
  return outs_;
}

Instance& Instance::operator=(Instance&& o) noexcept {
  if (this != &o) {
    close();
    effect_ = o.effect_;
    o.effect_ = nullptr;
  }
  return *this;
}

Instance Instance::started(float rate, VstInt32 block) {
  Instance i(plugin().create());
  if (!i) return i;
  i.dispatch(effOpen);
  i.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
  i.dispatch(effSetBlockSize, 0, block);
  i.dispatch(effMainsChanged, 0, 1);
  return i;
}

VstIntPtr Instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void Instance::process(float** inputs, float** outputs, VstInt32 frames) const {
  effect_->processReplacing(effect_, inputs, outputs, frames);
}

void Instance::setParameter(VstInt32 index, float value) const {
  effect_->setParameter(effect_, index, value);
}

float Instance::getParameter(VstInt32 index) const {
  return effect_->getParameter(effect_, index);
}

void Instance::close() {
  if (effect_ == nullptr) return;
  effect_->dispatcher(effect_, effMainsChanged, 0, 0, nullptr, 0.0f);
  effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

}  // namespace reliability
