#include "effect/Controlsgui.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "effect/FactoryPrograms.h"
#include "effect/StateChunk.h"
#include "model/ParameterMapping.h"
#include "plugin/AEffEditor.h"
#ifdef KORVALITE_WITH_EDITOR
#include "editor/ControlsguiEditor.h"
#endif
#include "plugin/CanDoTexts.h"
#include "plugin/VstStrings.h"

namespace {

// What the host lists: distinct, and short enough for its 8-byte buffers (at most 7
// characters), since hosts key stored settings and their generic controls by these names.
constexpr const char* kParameterNames[kNumParams] = {
    "Gain", "Tone", "Volume", "Mix", "Meter 1", "Meter 2", "Power", "In Tr", "Out Tr", "Supply", "Tap", "Cab",
};

// The words a switch shows, off first; the same words are read back as values.
struct SwitchWords {
  const char* off;
  const char* on;
};
constexpr SwitchWords switchWords(VstInt32 index) {
  return index == kParamOutputTap ? SwitchWords{"Preamp", "Power"} : SwitchWords{"Off", "On"};
}

bool sameWord(const char* text, size_t length, const char* word) {
  if (std::strlen(word) != length) {
    return false;
  }
  for (size_t k = 0; k < length; ++k) {
    if (std::tolower(static_cast<unsigned char>(text[k])) !=
        std::tolower(static_cast<unsigned char>(word[k]))) {
      return false;
    }
  }
  return true;
}

// A host's text for a parameter: a number (taken as the 0..1 value), or for a switch one of
// its two words and for the cabinet one of its names, case ignored, blanks around it allowed.
// False for anything else.
bool parseParameterText(VstInt32 index, const char* text, float& value) {
  while (std::isspace(static_cast<unsigned char>(*text))) {
    ++text;
  }
  size_t length = std::strlen(text);
  while (length > 0 && std::isspace(static_cast<unsigned char>(text[length - 1]))) {
    --length;
  }
  if (length == 0) {
    return false;
  }
  if (isSwitchParameter(index)) {
    const SwitchWords words = switchWords(index);
    if (sameWord(text, length, words.off) || sameWord(text, length, words.on)) {
      value = sameWord(text, length, words.on) ? 1.0f : 0.0f;
      return true;
    }
  }
  if (index == kParamCab) {
    for (int choice = 0; choice < CabinetChoice::kChoices; ++choice) {
      if (sameWord(text, length, CabinetChoice::name(choice))) {
        value = CabinetChoice::toValue(choice);
        return true;
      }
    }
  }
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (end != text + length || !std::isfinite(number)) {
    return false;
  }
  value = static_cast<float>(number < 0.0 ? 0.0 : (number > 1.0 ? 1.0 : number));
  return true;
}

}  // namespace

Controlsgui::Controlsgui(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
  // Live values hold the defaults even when the bank below cannot be made.
  for (int i = 0; i < kNumParams; ++i) {
    params[i] = kDefaultParameterValues[i];
  }
  programs = new (std::nothrow) ControlsguiProgram[kNumPrograms];
  curProgram = 0;
  hostRate = 44100.0f;
  internalRate = kInternalRate;
  if (programs != nullptr) {
    for (int k = 0; k < kNumFactoryPrograms; ++k) {
      ControlsguiProgram& program = programs[kFirstFactoryProgram + k];
      for (int i = 0; i < kNumParams; ++i) program.values[i] = kFactoryPrograms[k].values[i];
      vstCopyString(program.name, kFactoryPrograms[k].name, sizeof program.name);
    }
    // Every value takes the one setParameter path; index 1 retunes the filters.
    setProgram(0);
  }
  if (audioMaster != nullptr) {
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    programsAreChunks(true);
    setUniqueID(kUniqueId);
    setInitialDelay(kInitialDelay);
  }
  updateCoefficients();
  initModel();
#ifdef KORVALITE_WITH_EDITOR
  // The editor registers itself with setEditor, which sets effFlagsHasEditor. Without memory
  // for it the effect simply has no editor.
  new (std::nothrow) ControlsguiEditor(this);
#endif
}

// The base destructor then destroys the editor. A file being read finishes first: its thread
// hands the response to the model.
Controlsgui::~Controlsgui() {
  fileLoader.reset();
  delete[] programs;
}

ControlsguiProgram* Controlsgui::currentProgram() {
  return programs != nullptr && validProgram(curProgram) ? &programs[curProgram] : nullptr;
}

void Controlsgui::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  // A host without a second output buffer gets a one-channel model rather than a write
  // through a null pointer.
  const bool second = secondChannelActive && outputs != nullptr && outputs[1] != nullptr;
  // The block runs on one snapshot of the live values, which other threads may change at any
  // time; the meters are published with one store each at the end.
  float values[kNumParams];
  for (int i = 0; i < kNumParams; ++i) {
    values[i] = params[i];
  }
  float level1 = meterLevel1;
  float level2 = meterLevel2;
  model.processReplacing(inputs, outputs, sampleFrames, values, second, &level1, &level2);
  meterLevel1 = level1;
  meterLevel2 = level2;
}

void Controlsgui::setParameter(VstInt32 index, float value) {
  if (!validParameter(index) || std::isnan(value)) {
    return;
  }
  value = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
  if (ControlsguiProgram* program = currentProgram()) {
    program->values[index] = value;
  }
  params[index] = value;
  if (index == kParamTone) {
    updateCoefficients();
  }
  if (editor != nullptr) {
    editor->setParameter(index, value);
  }
}

float Controlsgui::getParameter(VstInt32 index) {
  return validParameter(index) ? params[index].load() : 0.0f;
}

void Controlsgui::setProgram(VstInt32 program) {
  if (programs == nullptr || !validProgram(program)) {
    return;
  }
  curProgram = program;
  // setParameter writes each value back into this same program; copy first so the loop
  // reads the program as it was.
  ControlsguiProgram loaded;
  {
    std::lock_guard<std::mutex> lock(programNamesLock);
    loaded = programs[program];
  }
  for (int i = 0; i < kNumParams; ++i) {
    setParameter(i, loaded.values[i]);
  }
}

void Controlsgui::setProgramName(const char* name) {
  if (ControlsguiProgram* program = currentProgram()) {
    std::lock_guard<std::mutex> lock(programNamesLock);
    vstCopyString(program->name, name, sizeof program->name);
  }
}

void Controlsgui::getProgramName(char* name) {
  const ControlsguiProgram* program = currentProgram();
  std::lock_guard<std::mutex> lock(programNamesLock);
  vstCopyString(name, program != nullptr ? program->name : "", kVstMaxProgNameLen);
}

void Controlsgui::getParameterDisplay(VstInt32 index, char* text) {
  if (text == nullptr) {
    return;
  }
  if (!validParameter(index)) {
    text[0] = '\0';
    return;
  }
  const float value = params[index];
  if (isSwitchParameter(index)) {
    const SwitchWords words = switchWords(index);
    vstCopyString(text, switchIsOn(index, value) ? words.on : words.off, kVstMaxParamStrLen);
    return;
  }
  if (index == kParamCab) {
    vstCopyString(text, CabinetChoice::name(CabinetChoice::fromValue(value)), kVstMaxParamStrLen);
    return;
  }
  // snprintf cuts whatever does not fit the host's 8 bytes.
  std::snprintf(text, kVstMaxParamStrLen, "%.3f", static_cast<double>(value));
}

void Controlsgui::getParameterName(VstInt32 index, char* text) {
  vstCopyString(text, validParameter(index) ? kParameterNames[index] : "", kVstMaxParamStrLen);
}

// "Init" programs are numbered so a host's list tells them apart; other names are given
// exactly as stored.
bool Controlsgui::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (!validProgram(index) || programs == nullptr || text == nullptr) {
    return false;
  }
  std::lock_guard<std::mutex> lock(programNamesLock);
  const char* name = programs[index].name;
  if (std::strcmp(name, "Init") == 0) {
    std::snprintf(text, kVstMaxProgNameLen, "Init %d", static_cast<int>(index + 1));
  } else {
    vstCopyString(text, name, kVstMaxProgNameLen);
  }
  return true;
}

// The tables are kept and the model state is not reset; the host period follows the rate. A
// rate the model cannot run at is refused before anything changes, so the base class, the
// model and the reported delay never disagree.
void Controlsgui::setSampleRate(float rate) {
  if (!AmpModel::acceptsHostRate(rate)) {  // NaN and the infinities fail its range too
    return;
  }
  internalRate = kInternalRate;
  AudioEffectX::setSampleRate(rate);
  hostRate = rate;
  model.setHostRate(rate);
  model.cabinet().setRate(rate);
  updateCoefficients();
  // The latency in host samples follows the rate. Hosts read it again only when told that
  // the plug-in's input/output setup changed.
  const VstInt32 delay = AmpModel::reportedDelay(rate);
  if (delay != getAeffect()->initialDelay) {
    setInitialDelay(delay);
    ioChanged();
  }
}

// effMainsChanged with a non-zero value: the second channel is computed only when the host
// says its input is connected; then events are requested (canDo takes MIDI).
void Controlsgui::resume() {
  secondChannelActive = false;
  if (isInputConnected(1)) {
    secondChannelActive = true;
  }
  model.cabinet().service();
  AudioEffectX::resume();
}

// The host's pauses are a control thread's regular calls: what the audio thread gave back is
// freed, what waited for the hand-over is handed over.
void Controlsgui::suspend() {
  model.cabinet().service();
}

// A host's typed value: set through the one parameter path, and true only when it was set.
bool Controlsgui::string2parameter(VstInt32 index, const char* text) {
  float value = 0.0f;
  if (!validParameter(index) || text == nullptr || !parseParameterText(index, text, value)) {
    return false;
  }
  setParameter(index, value);
  return true;
}

bool Controlsgui::getEffectName(char* name) {
  vstCopyString(name, kEffectName, kVstMaxEffectNameLen);
  return true;
}

bool Controlsgui::getVendorString(char* text) {
  vstCopyString(text, kVendorString, kVstMaxVendorStrLen);
  return true;
}

bool Controlsgui::getProductString(char* text) {
  vstCopyString(text, kProductString, kVstMaxProductStrLen);
  return true;
}

VstInt32 Controlsgui::canDo(const char* text) {
  if (text == nullptr) {
    return -1;
  }
  return std::strcmp(text, PlugCanDos::kReceiveVstEvents) == 0 ||
                 std::strcmp(text, PlugCanDos::kReceiveVstMidiEvent) == 0
             ? 1
             : -1;
}

VstInt32 Controlsgui::getChunk(void** data, bool isPreset) {
  if (data == nullptr || programs == nullptr) return 0;
  model.cabinet().service();
  try {
    StateChunk::Contents c;
    c.bank = !isPreset;
    const int current = curProgram;
    c.current = isPreset ? 0u : static_cast<uint32_t>(current);
    const int first = isPreset ? current : 0;
    const int count = isPreset ? 1 : kNumPrograms;
    c.programs.resize(count);
    std::unique_lock<std::mutex> names(programNamesLock);
    for (int k = 0; k < count; ++k) {
      const ControlsguiProgram& program = programs[first + k];
      for (int i = 0; i < kNumParams; ++i) c.programs[k].values[i] = program.values[i];
      std::memcpy(c.programs[k].name, program.name, sizeof program.name);
      c.programs[k].name[kVstMaxProgNameLen - 1] = '\0';
    }
    names.unlock();
    {
      std::lock_guard<std::mutex> lock(userResponseLock);
      if (model.cabinet().userSource(c.response, c.responseRate)) c.responseName = userResponseName;
    }
    c.editorScale = editorScale;
    chunk = StateChunk::write(c);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  *data = chunk.data();
  return static_cast<VstInt32>(chunk.size());
}

// Everything is read and checked before anything changes; the response, the one part that can
// still fail (memory), is taken first.
VstInt32 Controlsgui::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  StateChunk::Contents c;
  if (programs == nullptr || !StateChunk::read(data, byteSize, !isPreset, c)) return 0;
  try {
    std::lock_guard<std::mutex> lock(userResponseLock);
    std::string name = c.responseName;  // copied first: assigning it after the response cannot fail
    if (!c.response.empty()) {
      if (!model.cabinet().setUserResponse(c.response.data(), static_cast<long>(c.response.size()),
                                           c.responseRate)) {
        return 0;
      }
    } else {
      model.cabinet().clearUserResponse();
    }
    userResponseName.swap(name);
    userResponseChanges = userResponseChanges + 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
  editorScale = c.editorScale;
  const int current = curProgram;
  const int first = isPreset ? current : 0;
  {
    std::lock_guard<std::mutex> lock(programNamesLock);
    for (size_t k = 0; k < c.programs.size(); ++k) {
      ControlsguiProgram& program = programs[first + static_cast<int>(k)];
      for (int i = 0; i < kNumParams; ++i) program.values[i] = c.programs[k].values[i];
      vstCopyString(program.name, c.programs[k].name, sizeof program.name);
    }
  }
  setProgram(isPreset ? current : static_cast<VstInt32>(c.current));
  return 1;
}

// A response given without a file (a test, a tool) has no name.
bool Controlsgui::setUserResponse(const float* samples, long count, double rate, const char** error) {
  std::lock_guard<std::mutex> lock(userResponseLock);
  if (!model.cabinet().setUserResponse(samples, count, rate, error)) return false;
  userResponseName.clear();
  userResponseChanges = userResponseChanges + 1;
  return true;
}

void Controlsgui::clearUserResponse() {
  std::lock_guard<std::mutex> lock(userResponseLock);
  model.cabinet().clearUserResponse();
  userResponseName.clear();
  userResponseChanges = userResponseChanges + 1;
}

void Controlsgui::loadUserFile(const char* utf8Path) {
  if (utf8Path == nullptr) return;
  try {
    if (fileLoader == nullptr) {
      // Runs on the loading thread: the response and its name change together, under the lock
      // getChunk takes, so a project saved meanwhile never pairs one file's samples with
      // another's name.
      fileLoader = std::make_unique<ResponseFileLoader>([this](const ResponseFile::Contents& contents,
                                                               const std::string& name, const char** error) {
        std::string kept = name;
        std::lock_guard<std::mutex> lock(userResponseLock);
        if (!model.cabinet().setUserResponse(
                contents.samples.data(), static_cast<long>(contents.samples.size()), contents.rate, error)) {
          return false;
        }
        userResponseName.swap(kept);
        userResponseChanges = userResponseChanges + 1;
        return true;
      });
    }
    fileLoader->request(utf8Path);
  } catch (const std::bad_alloc&) {
    // Nothing was asked of the loader; the editor keeps showing what plays.
  }
}

bool Controlsgui::takeUserFileOutcome(ResponseFileOutcome& outcome) {
  return fileLoader != nullptr && fileLoader->takeOutcome(outcome);
}

std::string Controlsgui::getUserResponseName() {
  std::lock_guard<std::mutex> lock(userResponseLock);
  return userResponseName;
}

void Controlsgui::setEditorScale(uint32_t percent) {
  if (percent == StateChunk::kScreenEditorScale ||
      (percent >= StateChunk::kLowestEditorScale && percent <= StateChunk::kHighestEditorScale)) {
    editorScale = percent;
  }
}

void Controlsgui::initModel() {
  meterLevel1 = 0.0f;
  meterLevel2 = 0.0f;
  secondChannelActive = false;
  // The settled idle state, not the all-zero reset: from all zeros the circuit jumps to its
  // operating point with a burst of about +13 dBFS.
  model.resetToIdle();
}

// Hosts that pass the mouse wheel to their plug-ins send it as this vendor request; every
// other vendor request keeps the base's answer (0).
VstIntPtr Controlsgui::vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return wheelFromHost(index, value, ptr, opt);
}

// User-interface thread.
VstIntPtr Controlsgui::wheelFromHost(VstInt32 index, VstIntPtr value, void* /*ptr*/, float opt) {
  if (editor != nullptr && index == vstFourCC('s', 't', 'C', 'A') && value == vstFourCC('W', 'h', 'e', 'e')) {
    return editor->onWheel(opt) ? 1 : 0;
  }
  return 0;
}

bool Controlsgui::copyCurrentProgram(VstInt32 destination) {
  const ControlsguiProgram* program = currentProgram();
  if (!validProgram(destination) || program == nullptr) {
    return false;
  }
  std::lock_guard<std::mutex> lock(programNamesLock);
  programs[destination] = *program;
  return true;
}

void Controlsgui::storeCurrentParameters() {
  if (ControlsguiProgram* program = currentProgram()) {
    for (int i = 0; i < kNumParams; ++i) {
      program->values[i] = params[i];
    }
  }
}

Relaxed<float>* Controlsgui::getParameterPointer(VstInt32 index) {
  return validParameter(index) ? &params[index] : nullptr;
}

void Controlsgui::updateCoefficients() {
  model.updateCoefficients(params[kParamTone], internalRate, hostRate);
}
