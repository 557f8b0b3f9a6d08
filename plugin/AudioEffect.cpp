#include "plugin/AudioEffect.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plugin/AEffEditor.h"
#include "plugin/VstStrings.h"

namespace {

// The record functions: the host holds only the record, so each one finds its effect
// through the record's `object` field. A record without an effect (a host calling through
// a stale or foreign record) gets the neutral answer instead of a crash where we can tell.
AudioEffect* effectOf(AEffect* record) {
  return record != nullptr ? static_cast<AudioEffect*>(record->object) : nullptr;
}

// Any thread the host uses for control requests.
VstIntPtr recordDispatcher(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt) {
  AudioEffect* effect = effectOf(record);
  if (effect == nullptr) {
    return 0;
  }
  if (opcode == effClose) {
    // The record lives inside the effect: nothing may touch it after this delete.
    effect->dispatcher(opcode, index, value, ptr, opt);
    delete effect;
    return 1;
  }
  return effect->dispatcher(opcode, index, value, ptr, opt);
}

// Audio thread.
void recordProcess(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(record)) {
    effect->process(inputs, outputs, sampleFrames);
  }
}

void recordProcessReplacing(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(record)) {
    effect->processReplacing(inputs, outputs, sampleFrames);
  }
}

void recordProcessDoubleReplacing(AEffect* record, double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (AudioEffect* effect = effectOf(record)) {
    effect->processDoubleReplacing(inputs, outputs, sampleFrames);
  }
}

// Host automation: any thread, the audio thread included.
void recordSetParameter(AEffect* record, VstInt32 index, float value) {
  if (AudioEffect* effect = effectOf(record)) {
    effect->setParameter(index, value);
  }
}

float recordGetParameter(AEffect* record, VstInt32 index) {
  AudioEffect* effect = effectOf(record);
  return effect != nullptr ? effect->getParameter(index) : 0.0f;
}

void writeHuge(char* text, VstInt32 maxLen) {
  vstCopyString(text, "Huge!", static_cast<size_t>(maxLen));
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
  std::memset(&effectRecord, 0, sizeof effectRecord);
  effectRecord.magic = kEffectMagic;
  effectRecord.dispatcher = recordDispatcher;
  effectRecord.process = recordProcess;
  effectRecord.setParameter = recordSetParameter;
  effectRecord.getParameter = recordGetParameter;
  effectRecord.numPrograms = numPrograms;
  effectRecord.numParams = numParams;
  effectRecord.numInputs = 1;
  effectRecord.numOutputs = 2;
  effectRecord.ioRatio = 1.0f;
  effectRecord.object = this;
  effectRecord.uniqueID = vstFourCC('N', 'o', 'E', 'f');
  effectRecord.version = 1;
  effectRecord.processReplacing = recordProcessReplacing;
  effectRecord.processDoubleReplacing = recordProcessDoubleReplacing;
  // Direct call: virtual dispatch does not reach subclasses during construction anyway.
  AudioEffect::canProcessReplacing(true);
}

AudioEffect::~AudioEffect() {
  delete editor;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state) {
    effectRecord.flags |= flag;
  } else {
    effectRecord.flags &= ~flag;
  }
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return audioMaster != nullptr ? audioMaster(&effectRecord, opcode, index, value, ptr, opt) : 0;
}

// Any thread the host uses for control requests. Every opcode that takes a buffer or a
// record ignores a null ptr (answer 0), and every text answer is cut to the host's limit.
VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) {
        setProgram(static_cast<VstInt32>(value));
      }
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (ptr != nullptr) {
        // Read no more of the host's text than a program name can hold, terminated or not.
        char name[kVstMaxProgNameLen];
        vstCopyString(name, static_cast<const char*>(ptr), sizeof name);
        setProgramName(name);
      }
      return 0;
    case effGetProgramName:
      if (ptr != nullptr) {
        answerText(ptr, kVstMaxProgNameLen, [this](char* text) {
          getProgramName(text);
          return true;
        });
      }
      return 0;
    case effGetParamLabel:
      if (ptr != nullptr) {
        answerText(ptr, kVstMaxParamStrLen, [this, index](char* text) {
          getParameterLabel(index, text);
          return true;
        });
      }
      return 0;
    case effGetParamDisplay:
      if (ptr != nullptr) {
        answerText(ptr, kVstMaxParamStrLen, [this, index](char* text) {
          getParameterDisplay(index, text);
          return true;
        });
      }
      return 0;
    case effGetParamName:
      if (ptr != nullptr) {
        answerText(ptr, kVstMaxParamStrLen, [this, index](char* text) {
          getParameterName(index, text);
          return true;
        });
      }
      return 0;
    case effSetSampleRate:
      // A rate of zero, below zero or not a number would poison every coefficient derived
      // from it; such a request is ignored.
      if (std::isfinite(opt) && opt > 0.0f) {
        setSampleRate(opt);
      }
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value != 0) {
        resume();
      } else {
        suspend();
      }
      return 0;
    case effEditGetRect:
      return editor != nullptr && ptr != nullptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
      // ptr is the parent window; there is no child window of nothing.
      return editor != nullptr && ptr != nullptr && editor->open(ptr) ? 1 : 0;
    case effEditClose:
      if (editor != nullptr) {
        editor->close();
      }
      return 0;
    case effEditIdle:
      if (editor != nullptr) {
        editor->idle();
      }
      return 0;
    case effIdentify:
      return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      return ptr != nullptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      return ptr != nullptr ? setChunk(ptr, static_cast<VstInt32>(value), index != 0) : 0;
    default:
      // Among others the older hosts' effGetVu, effEditDraw, effEditMouse, effEditKey,
      // effEditTop and effEditSleep.
      return 0;
  }
}

// Called from the editor (user-interface thread) for every change the user makes.
void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  if (audioMaster != nullptr) {
    callHost(audioMasterAutomate, index, 0, nullptr, value);
  }
}

VstInt32 AudioEffect::getMasterVersion() {
  const VstIntPtr version = callHost(audioMasterVersion);
  return version != 0 ? static_cast<VstInt32>(version) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
  callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin; without a host every pin counts as connected.
bool AudioEffect::isInputConnected(VstInt32 input) {
  return audioMaster == nullptr || callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return audioMaster == nullptr || callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f) {
    vstCopyString(text, "-oo", maxLen > 0 ? static_cast<size_t>(maxLen) : 0);
    return;
  }
  float2string(20.0f * std::log10(value), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  float2string(samples != 0.0f ? sampleRate / samples : 0.0f, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  float2string(samples * 1000.0f / sampleRate, text, maxLen);
}

// Two decimals when they fit in the buffer, fewer when the integer part needs the room;
// "Huge!" when not even the integer part fits or the value is infinite.
void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
  if (text == nullptr || maxLen < 1) {
    return;
  }
  if (std::isnan(value)) {
    vstCopyString(text, "NaN", static_cast<size_t>(maxLen));
    return;
  }
  if (!std::isfinite(value) || std::fabs(value) >= 1e8f) {
    writeHuge(text, maxLen);
    return;
  }
  char buffer[32];
  for (int decimals = 2; decimals >= 0; --decimals) {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    if (std::strlen(buffer) < static_cast<size_t>(maxLen)) {
      vstCopyString(text, buffer, static_cast<size_t>(maxLen));
      return;
    }
  }
  writeHuge(text, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  if (text == nullptr || maxLen < 1) {
    return;
  }
  if (value >= 100000000 || value <= -100000000) {
    writeHuge(text, maxLen);
    return;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
  if (std::strlen(buffer) < static_cast<size_t>(maxLen)) {
    vstCopyString(text, buffer, static_cast<size_t>(maxLen));
  } else {
    writeHuge(text, maxLen);
  }
}
