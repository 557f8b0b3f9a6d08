// A small VST 2.4 effect written straight against the binary interface, for testing the host
// tool: two inputs, two outputs, a fixed delay of 7 samples, a gain and a right-channel polarity
// switch. Output, per channel c and sample n:
//   out_L[n] = g * in_L[n - 7],   out_R[n] = s * g * in_R[n - 7]
// with g = 2 * parameter 0 ("Gain") and s = -1 when parameter 1 ("Invert") is 0.5 or more,
// else +1. Program 0 "Unity" is (0.5, 0), program 1 "Half inverted" (0.25, 1).
//
// It announces its delay only when switched on (effMainsChanged 1, with audioMasterIOChanged),
// as many effects do, and then prints the host's answers to its questions on stderr so the
// tests can check what the host told it.
//
// Built three ways from this source: the normal effect, one whose entry point is exported only
// under the older name "main" (TEST_EFFECT_ENTRY_MAIN), and one whose entry point creates no
// effect (TEST_EFFECT_NULL).
#include <cstdio>
#include <cstring>
#include <new>

#include "plugin/VstInterface.h"

#ifdef _WIN32
#define TEST_EFFECT_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int kDelay = 7;
constexpr int kNumParams = 2;
constexpr int kNumPrograms = 2;

struct Program {
  const char* name;
  float values[kNumParams];
};
constexpr Program kPrograms[kNumPrograms] = {{"Unity", {0.5f, 0.0f}}, {"Half inverted", {0.25f, 1.0f}}};
const char* const kParamNames[kNumParams] = {"Gain", "Invert"};

struct TestEffect {
  AEffect record;
  audioMasterCallback host;
  float values[kNumParams];
  int program;
  float sampleRate;
  VstIntPtr blockSize;
  VstIntPtr hostRateAtCreation;  // what the host answered while the entry point ran
  float history[2][kDelay];      // the last kDelay input samples per channel, oldest first
};

TestEffect* self(AEffect* e) {
  return static_cast<TestEffect*>(e->object);
}

void copyText(void* ptr, const char* text, size_t limit) {
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, limit - 1);
  static_cast<char*>(ptr)[limit - 1] = '\0';
}

void loadProgram(TestEffect* t, int program) {
  t->program = program;
  for (int i = 0; i < kNumParams; ++i) t->values[i] = kPrograms[program].values[i];
}

void switchOn(TestEffect* t) {
  std::memset(t->history, 0, sizeof(t->history));
  t->record.initialDelay = kDelay;
  audioMasterCallback h = t->host;
  AEffect* e = &t->record;
  h(e, audioMasterIOChanged, 0, 0, nullptr, 0.0f);
  char canDo[] = "acceptIOChanges";
  auto ask = [&](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    return static_cast<long>(h(e, opcode, index, value, ptr, 0.0f));
  };
  long rate = ask(audioMasterGetSampleRate, 0, 0, nullptr);
  long block = ask(audioMasterGetBlockSize, 0, 0, nullptr);
  long pins[6];
  for (int i = 0; i < 6; ++i) pins[i] = ask(audioMasterPinConnected, i % 3, i / 3, nullptr);
  long accepts = ask(audioMasterCanDo, 0, 0, canDo);
  std::fprintf(stderr,
               "test effect: created at %ld rate %ld/%g block %ld/%ld pins in %ld %ld %ld out %ld %ld %ld "
               "acceptIOChanges %ld\n",
               static_cast<long>(t->hostRateAtCreation), rate, static_cast<double>(t->sampleRate), block,
               static_cast<long>(t->blockSize), pins[0], pins[1], pins[2], pins[3], pins[4], pins[5],
               accepts);
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  TestEffect* t = self(e);
  bool validParam = index >= 0 && index < kNumParams;
  switch (opcode) {
    case effClose:
      delete t;
      return 1;
    case effSetProgram:
      if (value >= 0 && value < kNumPrograms) loadProgram(t, static_cast<int>(value));
      return 0;
    case effGetProgram:
      return t->program;
    case effGetProgramName:
      copyText(ptr, kPrograms[t->program].name, kVstMaxProgNameLen);
      return 0;
    case effGetParamName:
      if (validParam) copyText(ptr, kParamNames[index], kVstMaxParamStrLen);
      return 0;
    case effGetParamLabel:
      if (validParam) copyText(ptr, index == 0 ? "x" : "", kVstMaxParamStrLen);
      return 0;
    case effGetParamDisplay:
      if (validParam && ptr) {
        if (index == 0)
          std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%.2f", 2.0 * t->values[0]);
        else
          copyText(ptr, t->values[1] >= 0.5f ? "on" : "off", kVstMaxParamStrLen);
      }
      return 0;
    case effSetSampleRate:
      t->sampleRate = opt;
      return 0;
    case effSetBlockSize:
      t->blockSize = value;
      return 0;
    case effMainsChanged:
      if (value) switchOn(t);
      return 0;
    case effGetEffectName:
      copyText(ptr, "Korvalite Test Effect", kVstMaxEffectNameLen);
      return ptr ? 1 : 0;
    case effGetVendorString:
      copyText(ptr, "Korvalite", kVstMaxVendorStrLen);
      return ptr ? 1 : 0;
    case effGetProductString:
      copyText(ptr, "Host test effect", kVstMaxProductStrLen);
      return ptr ? 1 : 0;
    case effGetVendorVersion:
      return 1000;
    case effGetVstVersion:
      return 2400;
    case effGetPlugCategory:
      return kPlugCategEffect;
    case effCanDo:
      if (ptr && (std::strcmp(static_cast<const char*>(ptr), "bypass") == 0 ||
                  std::strcmp(static_cast<const char*>(ptr), "receiveVstTimeInfo") == 0))
        return -1;
      return 0;
    default:
      return 0;
  }
}

void setParameter(AEffect* e, VstInt32 index, float value) {
  if (index >= 0 && index < kNumParams) self(e)->values[index] = value;
}

float getParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kNumParams ? self(e)->values[index] : 0.0f;
}

void processReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  TestEffect* t = self(e);
  const float gain = 2.0f * t->values[0];
  const float sign[2] = {1.0f, t->values[1] >= 0.5f ? -1.0f : 1.0f};
  for (int c = 0; c < 2; ++c) {
    float* h = t->history[c];
    for (VstInt32 n = 0; n < frames; ++n) {
      float in = inputs[c][n];
      outputs[c][n] = sign[c] * gain * h[0];
      std::memmove(h, h + 1, sizeof(float) * (kDelay - 1));
      h[kDelay - 1] = in;
    }
  }
}

void process(AEffect*, float**, float**, VstInt32) {}

AEffect* create(audioMasterCallback host) {
  // The host's version is asked for before the record exists, with a null effect.
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
#ifdef TEST_EFFECT_NULL
  constexpr bool kCreatesEffect = false;
#else
  constexpr bool kCreatesEffect = true;
#endif
  if (!kCreatesEffect) return nullptr;
  TestEffect* t = new (std::nothrow) TestEffect();
  if (!t) return nullptr;
  t->host = host;
  t->hostRateAtCreation = host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
  t->sampleRate = 44100.0f;
  t->blockSize = 1024;
  loadProgram(t, 0);
  AEffect& r = t->record;
  r.magic = kEffectMagic;
  r.dispatcher = &dispatcher;
  r.process = &process;
  r.setParameter = &setParameter;
  r.getParameter = &getParameter;
  r.numPrograms = kNumPrograms;
  r.numParams = kNumParams;
  r.numInputs = 2;
  r.numOutputs = 2;
  r.flags = effFlagsCanReplacing;
  r.ioRatio = 1.0f;
  r.object = t;
  r.uniqueID = vstFourCC('K', 'v', 'T', 'e');
  r.version = 1;
  r.processReplacing = &processReplacing;
  return &r;
}

}  // namespace

#ifdef TEST_EFFECT_ENTRY_MAIN
// Exported under the older entry name only; "main" cannot be declared as an ordinary function.
TEST_EFFECT_EXPORT AEffect* oldEntry(audioMasterCallback host) __asm__("main");
TEST_EFFECT_EXPORT AEffect* oldEntry(audioMasterCallback host) {
  return create(host);
}
#else
TEST_EFFECT_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
  return create(host);
}
#endif
