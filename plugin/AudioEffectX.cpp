#include "plugin/AudioEffectX.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "plugin/AEffEditor.h"
#include "plugin/CanDoTexts.h"
#include "plugin/VstStrings.h"

namespace {

VstIntPtr answerBool(bool answer) {
  return answer ? 1 : 0;
}

// Size in bytes of an arrangement record holding `numChannels` speakers: the two-int32
// header and the speakers, however many there are (not the eight of the declared struct).
size_t arrangementBytes(VstInt32 numChannels) {
  return offsetof(VstSpeakerArrangement, speakers) +
         sizeof(VstSpeakerProperties) * static_cast<size_t>(numChannels);
}

// A key record's modifier is a byte; the host sends it as a float, which may be anything.
unsigned char modifierFromFloat(float opt) {
  if (!std::isfinite(opt) || opt < 0.0f || opt > 255.0f) {
    return 0;
  }
  return static_cast<unsigned char>(opt);
}

// Opcodes whose ptr is a buffer or a record the effect must read or fill: a null ptr is
// ignored (answer 0) before any operation sees it. effGetCurrentMidiProgram is not among
// them: its answer alone is meaningful and its record is optional.
bool needsPointer(VstInt32 opcode) {
  switch (opcode) {
    case effProcessEvents:
    case effString2Parameter:
    case effGetProgramNameIndexed:
    case effGetInputProperties:
    case effGetOutputProperties:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
    case effSetSpeakerArrangement:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effCanDo:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effGetSpeakerArrangement:
    case effShellGetNextPlugin:
    case effBeginLoadBank:
    case effBeginLoadProgram:
      return true;
    default:
      return false;
  }
}

}  // namespace

// Any thread the host uses for control requests. Opcodes below 25 and the ones this class
// does not serve go to the AudioEffect dispatcher, which answers 0 to what it does not know.
// Text answers are cut to the host's limits by answerText.
VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (ptr == nullptr && needsPointer(opcode)) {
    return 0;
  }
  const auto v32 = static_cast<VstInt32>(value);
  switch (opcode) {
    case effProcessEvents:
      return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
      return answerBool(canParameterBeAutomated(index));
    case effString2Parameter:
      return answerBool(string2parameter(index, static_cast<const char*>(ptr)));
    case effGetProgramNameIndexed:
      // A refusal leaves the host's buffer as it was.
      return answerBool(answerText(ptr, kVstMaxProgNameLen, [this, v32, index](char* text) {
        return getProgramNameIndexed(v32, index, text);
      }));
    case effGetInputProperties:
      return answerBool(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
      return answerBool(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
      return getPlugCategory();
    case effOfflineNotify:
      return answerBool(offlineNotify(static_cast<VstAudioFile*>(ptr), v32, index != 0));
    case effOfflinePrepare:
      return answerBool(offlinePrepare(static_cast<VstOfflineTask*>(ptr), v32));
    case effOfflineRun:
      return answerBool(offlineRun(static_cast<VstOfflineTask*>(ptr), v32));
    case effProcessVarIo:
      return answerBool(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement: {
      auto* input = reinterpret_cast<VstSpeakerArrangement*>(value);
      return input != nullptr
                 ? answerBool(setSpeakerArrangement(input, static_cast<VstSpeakerArrangement*>(ptr)))
                 : 0;
    }
    case effSetBypass:
      return answerBool(setBypass(value != 0));
    case effGetEffectName:
      return answerBool(
          answerText(ptr, kVstMaxEffectNameLen, [this](char* text) { return getEffectName(text); }));
    case effGetVendorString:
      return answerBool(
          answerText(ptr, kVstMaxVendorStrLen, [this](char* text) { return getVendorString(text); }));
    case effGetProductString:
      return answerBool(
          answerText(ptr, kVstMaxProductStrLen, [this](char* text) { return getProductString(text); }));
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return canDo(static_cast<const char*>(ptr));
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      return answerBool(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
    case effSetEditKnobMode:
      return dispatchEditorKey(opcode, index, value, opt);
    case effGetMidiProgramName:
      return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
      return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
      return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
      return answerBool(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
      return answerBool(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
      return answerBool(beginSetProgram());
    case effEndSetProgram:
      return answerBool(endSetProgram());
    case effGetSpeakerArrangement: {
      auto** input = reinterpret_cast<VstSpeakerArrangement**>(value);
      return input != nullptr
                 ? answerBool(getSpeakerArrangement(input, static_cast<VstSpeakerArrangement**>(ptr)))
                 : 0;
    }
    case effShellGetNextPlugin: {
      VstInt32 id = 0;
      answerText(ptr, kVstMaxProductStrLen, [this, &id](char* text) {
        id = getNextShellPlugin(text);
        return id != 0;
      });
      return id;
    }
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetTotalSampleToProcess:
      return setTotalSampleToProcess(v32);
    case effSetPanLaw:
      return answerBool(setPanLaw(v32, opt));
    case effBeginLoadBank:
      return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
      return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
      return answerBool(setProcessPrecision(v32));
    case effGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      // Including the passed-on 28, 30 to 32, 36, 37, 43, 46, 53 to 55 and 57.
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

VstIntPtr AudioEffectX::dispatchEditorKey(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
  if (editor == nullptr) {
    return 0;
  }
  if (opcode == effSetEditKnobMode) {
    return answerBool(editor->setKnobMode(static_cast<VstInt32>(value)));
  }
  VstKeyCode key{};
  key.character = index;
  key.virt = static_cast<unsigned char>(value);
  key.modifier = modifierFromFloat(opt);
  return answerBool(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
}

// The thread delivering effMainsChanged.
void AudioEffectX::resume() {
  if (hasFlag(effFlagsIsSynth) || canDo(PlugCanDos::kReceiveVstMidiEvent) == 1) {
    wantEvents(1);
  }
}

bool AudioEffectX::beginEdit(VstInt32 index) {
  return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
  return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::ioChanged() {
  return callHost(audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate() {
  const VstIntPtr rate = callHost(audioMasterGetSampleRate);
  if (rate > 0) {
    sampleRate = static_cast<float>(rate);
  }
  return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
  const VstIntPtr size = callHost(audioMasterGetBlockSize);
  if (size > 0) {
    blockSize = static_cast<VstInt32>(size);
  }
  return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
  if (input != nullptr) {
    *input = nullptr;
  }
  if (output != nullptr) {
    *output = nullptr;
  }
  return false;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
  return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
  return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
  return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString(char* text) {
  return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
  return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
  return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

// The host only reads the text; the callback's ptr is not const in the interface.
VstInt32 AudioEffectX::canHostDo(const char* text) {
  return callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::getHostLanguage() {
  return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::getDirectory() {
  return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay() {
  return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* fileSelect) {
  return fileSelect != nullptr && callHost(audioMasterOpenFileSelector, 0, 0, fileSelect) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* fileSelect) {
  return fileSelect != nullptr && callHost(audioMasterCloseFileSelector, 0, 0, fileSelect) != 0;
}

// A negative channel count is refused before anything is released, so the caller's
// arrangement is left as it was.
bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 numChannels) {
  if (arrangement == nullptr || numChannels < 0) {
    return false;
  }
  deallocateArrangement(arrangement);
  void* memory = std::calloc(1, arrangementBytes(numChannels));
  if (memory == nullptr) {
    return false;
  }
  *arrangement = static_cast<VstSpeakerArrangement*>(memory);
  (*arrangement)->numChannels = numChannels;
  return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
  if (arrangement == nullptr) {
    return false;
  }
  std::free(*arrangement);
  *arrangement = nullptr;
  return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
  if (to == nullptr || from == nullptr) {
    return false;
  }
  // Copy every field, then redo the name so that an unterminated source name is cut.
  char name[sizeof to->name] = {};
  vstCopyString(name, from->name, sizeof name);
  std::memmove(to, from, sizeof *to);
  std::memcpy(to->name, name, sizeof name);
  return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
  if (from == nullptr || to == nullptr) {
    return false;
  }
  if (*to == from) {
    // Releasing `to` would release the source too; it already matches itself.
    return true;
  }
  if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels)) {
    return false;
  }
  (*to)->type = from->type;
  // Both records hold numChannels speakers, which may be more than the declared eight.
  VstSpeakerProperties* toSpeakers = (*to)->speakers;
  VstSpeakerProperties* fromSpeakers = from->speakers;
  for (VstInt32 i = 0; i < from->numChannels; ++i) {
    if (!copySpeaker(toSpeakers + i, fromSpeakers + i)) {
      return false;
    }
  }
  return true;
}

bool AudioEffectX::offlineRead(VstOfflineTask* task, VstInt32 option, bool readSource) {
  return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* task, VstInt32 option) {
  return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool AudioEffectX::offlineStart(VstAudioFile* files, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles) {
  return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, files) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass() {
  return callHost(audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0;
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
  return callHost(audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

void AudioEffectX::wantEvents(VstInt32 filter) {
  callHost(audioMasterWantMidi, 0, filter);
}

VstInt32 AudioEffectX::tempoAt(VstInt32 position) {
  return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, position));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
  return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
  return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::needIdle() {
  return callHost(audioMasterNeedIdle) != 0;
}

AEffect* AudioEffectX::getPreviousPlug(VstInt32 /*input*/) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32 /*output*/) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
  return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

void AudioEffectX::setOutputSamplerate(float rate) {
  callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetOutputSpeakerArrangement));
}

void* AudioEffectX::openWindow(void* window) {
  return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(void* window) {
  return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

bool AudioEffectX::getChunkFile(void* nativePath) {
  return nativePath != nullptr && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}
