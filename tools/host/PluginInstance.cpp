#include "tools/host/PluginInstance.h"

#include <cstring>
#include <vector>

#include "tools/host/HostCallback.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginModule.h"

namespace {

// Strings are read into buffers far larger than the published limits and zeroed first, so a
// plug-in that overruns or forgets the terminator cannot harm the host; the last byte is
// forced to a terminator afterwards.
constexpr size_t kTextBuffer = 1024;

constexpr VstIntPtr kProcessPrecision32 = 0;

}  // namespace

PluginInstance::PluginInstance(const PluginModule& module) {
  effect_ = module.entryPoint()(&HostCallback::callback);
  if (!effect_) throw HostError(module.path() + ": the plug-in's entry point created no effect");
  if (effect_->magic != kEffectMagic || !effect_->dispatcher) {
    effect_ = nullptr;  // not a record: nothing may be called through it
    throw HostError(module.path() + ": the plug-in's entry point returned no VST effect record");
  }
  dispatch(effOpen);
}

PluginInstance::~PluginInstance() {
  if (!effect_) return;
  if (running_) stop();
  // effClose makes the plug-in destroy itself; the record is gone afterwards.
  effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

PluginText PluginInstance::text(VstInt32 opcode, VstInt32 index, size_t limit) const {
  std::vector<char> buffer(kTextBuffer, '\0');
  dispatch(opcode, index, 0, buffer.data());
  buffer.back() = '\0';
  PluginText t;
  t.text = buffer.data();
  t.overlong = t.text.size() + 1 > limit;
  return t;
}

void PluginInstance::setSampleRate(double rate) {
  dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void PluginInstance::setBlockSize(int frames) {
  dispatch(effSetBlockSize, 0, frames);
}

void PluginInstance::setProgram(int program) {
  if (program < 0 || program >= effect_->numPrograms)
    throw HostError("program " + std::to_string(program) + " is out of range (the plug-in has " +
                    std::to_string(effect_->numPrograms) + " programs)");
  dispatch(effBeginSetProgram);
  dispatch(effSetProgram, 0, program);
  dispatch(effEndSetProgram);
}

void PluginInstance::setParameter(int index, float value) {
  if (index < 0 || index >= effect_->numParams)
    throw HostError("parameter " + std::to_string(index) + " is out of range (the plug-in has " +
                    std::to_string(effect_->numParams) + " parameters)");
  if (effect_->setParameter) effect_->setParameter(effect_, index, value);
}

float PluginInstance::parameter(int index) const {
  return effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

int PluginInstance::currentProgram() const {
  return static_cast<int>(dispatch(effGetProgram));
}

PluginText PluginInstance::programName(int program) {
  std::vector<char> buffer(kTextBuffer, '\0');
  if (dispatch(effGetProgramNameIndexed, program, -1, buffer.data()) == 0) {
    // Switching programs on the way would load their parameters; a DAW does this only while the
    // plug-in is off, and puts the previous program back.
    int previous = currentProgram();
    std::fill(buffer.begin(), buffer.end(), '\0');
    if (program != previous) dispatch(effSetProgram, 0, program);
    dispatch(effGetProgramName, 0, 0, buffer.data());
    if (program != previous) dispatch(effSetProgram, 0, previous);
  }
  buffer.back() = '\0';
  PluginText t;
  t.text = buffer.data();
  t.overlong = t.text.size() + 1 > kVstMaxProgNameLen;
  return t;
}

std::vector<uint8_t> PluginInstance::chunk(bool program) const {
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const uint8_t* p = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(p, p + size);
}

bool PluginInstance::setChunk(std::vector<uint8_t>& bytes, bool program) {
  return dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()) != 0;
}

VstIntPtr PluginInstance::canDo(const char* text) const {
  // The text is copied into a writable buffer: some plug-ins take a non-const pointer.
  std::vector<char> buffer(kTextBuffer, '\0');
  std::strncpy(buffer.data(), text, kTextBuffer - 1);
  return dispatch(effCanDo, 0, 0, buffer.data());
}

void PluginInstance::start() {
  if (running_) return;
  dispatch(effSetProcessPrecision, 0, kProcessPrecision32);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effStartProcess);
  running_ = true;
}

void PluginInstance::stop() {
  if (!running_) return;
  dispatch(effStopProcess);
  dispatch(effMainsChanged, 0, 0);
  running_ = false;
}

void PluginInstance::process(float** inputs, float** outputs, int outputCount, int frames) {
  // Zeroed first: the older accumulating call adds into the outputs, and a plug-in that leaves
  // an output alone must give silence there rather than the previous block.
  for (int i = 0; i < outputCount; ++i) std::memset(outputs[i], 0, sizeof(float) * frames);
  if (effect_->flags & effFlagsCanReplacing && effect_->processReplacing) {
    effect_->processReplacing(effect_, inputs, outputs, frames);
  } else if (effect_->process) {
    effect_->process(effect_, inputs, outputs, frames);
  }
}
