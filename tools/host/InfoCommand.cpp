// `info PLUGIN`: everything a DAW learns about a plug-in before using it, printed as text.
#include <cstdio>
#include <string>

#include "tools/host/Commands.h"
#include "tools/host/HostCallback.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"

namespace {

constexpr double kDefaultRate = 44100.0;

// The published can-do texts a host asks an effect about.
const char* const kCanDoTexts[] = {
    "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass"};

const char* categoryName(VstIntPtr category) {
  static const char* const kNames[] = {"unknown",     "effect",          "synth",   "analysis",
                                       "mastering",   "spacializer",     "room fx", "surround fx",
                                       "restoration", "offline process", "shell",   "generator"};
  if (category < 0 || category >= static_cast<VstIntPtr>(sizeof(kNames) / sizeof(kNames[0]))) return "?";
  return kNames[category];
}

std::string quoted(const PluginText& t, size_t limit) {
  std::string s = "\"" + t.text + "\"";
  if (t.overlong) s += " (exceeds the " + std::to_string(limit) + "-byte limit)";
  return s;
}

// The ID as text when its bytes are printable; leading zero bytes are skipped, since IDs of
// three characters ('KOR') are common.
std::string fourCC(VstInt32 id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xff);
    if (c == 0 && s.empty()) continue;
    if (c < 0x20 || c > 0x7e) return std::string();
    s += c;
  }
  return s.empty() ? std::string() : " '" + s + "'";
}

std::string flagNames(VstInt32 flags) {
  static const struct {
    VstInt32 bit;
    const char* name;
  } kFlags[] = {{effFlagsHasEditor, "hasEditor"},
                {effFlagsHasClip, "hasClip"},
                {effFlagsHasVu, "hasVu"},
                {effFlagsCanMono, "canMono"},
                {effFlagsCanReplacing, "canReplacing"},
                {effFlagsProgramChunks, "programChunks"},
                {effFlagsIsSynth, "isSynth"},
                {effFlagsNoSoundInStop, "noSoundInStop"},
                {effFlagsExtIsAsync, "extIsAsync"},
                {effFlagsExtHasBuffer, "extHasBuffer"},
                {effFlagsCanDoubleReplacing, "canDoubleReplacing"}};
  std::string s;
  for (const auto& f : kFlags)
    if (flags & f.bit) s += std::string(" ") + f.name;
  return s;
}

const char* canDoAnswer(VstIntPtr answer) {
  return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know";
}

}  // namespace

int runInfo(const CommandLine& cl) {
  const double rate = cl.sampleRate > 0.0 ? cl.sampleRate : kDefaultRate;
  HostCallback host;
  configureHost(host, cl, rate);
  PluginModule module(cl.operands[0]);
  PluginInstance plugin(module);
  configurePlugin(plugin, cl, rate);
  const AEffect& e = plugin.record();
  // Many plug-ins settle their delay only when switched on, which is when a DAW reads it.
  const VstInt32 delayBefore = e.initialDelay;
  plugin.start();
  plugin.stop();

  std::printf("plug-in: %s\n", module.path().c_str());
  std::printf("effect name: %s\n", quoted(plugin.effectName(), kVstMaxEffectNameLen).c_str());
  std::printf("vendor: %s\n", quoted(plugin.vendorString(), kVstMaxVendorStrLen).c_str());
  std::printf("product: %s\n", quoted(plugin.productString(), kVstMaxProductStrLen).c_str());
  std::printf("unique id: 0x%08X%s\n", static_cast<unsigned>(e.uniqueID), fourCC(e.uniqueID).c_str());
  std::printf("version: %d\n", e.version);
  std::printf("vendor version: %lld\n", static_cast<long long>(plugin.vendorVersion()));
  std::printf("vst version: %lld\n", static_cast<long long>(plugin.vstVersion()));
  VstIntPtr category = plugin.category();
  std::printf("category: %lld (%s)\n", static_cast<long long>(category), categoryName(category));
  std::printf("inputs: %d\n", e.numInputs);
  std::printf("outputs: %d\n", e.numOutputs);
  std::printf("parameters: %d\n", e.numParams);
  std::printf("programs: %d\n", e.numPrograms);
  if (e.initialDelay == delayBefore)
    std::printf("initial delay: %d\n", e.initialDelay);
  else
    std::printf("initial delay: %d (%d before switching on)\n", e.initialDelay, delayBefore);
  std::printf("flags: 0x%X%s\n", static_cast<unsigned>(e.flags), flagNames(e.flags).c_str());

  std::printf("parameter list:\n");
  for (int i = 0; i < e.numParams; ++i) {
    std::printf("  %d: name %s label %s display %s value %g\n", i,
                quoted(plugin.parameterName(i), kVstMaxParamStrLen).c_str(),
                quoted(plugin.parameterLabel(i), kVstMaxParamStrLen).c_str(),
                quoted(plugin.parameterDisplay(i), kVstMaxParamStrLen).c_str(),
                static_cast<double>(plugin.parameter(i)));
  }
  int current = plugin.currentProgram();
  std::printf("program list:\n");
  for (int i = 0; i < e.numPrograms; ++i)
    std::printf("  %d: %s%s\n", i, quoted(plugin.programName(i), kVstMaxProgNameLen).c_str(),
                i == current ? " (current)" : "");
  std::printf("can do:\n");
  for (const char* text : kCanDoTexts) std::printf("  %s: %s\n", text, canDoAnswer(plugin.canDo(text)));
  std::fflush(stdout);
  return 0;
}
