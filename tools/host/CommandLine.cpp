#include "tools/host/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/host/HostError.h"

namespace {

// Whole-string conversions: "12abc", "" and out-of-range values are errors, not 12 or 0.
bool toLong(const std::string& text, long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  out = v;
  return true;
}

bool toDouble(const std::string& text, double& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
  out = v;
  return true;
}

ParameterSetting parseParameter(const std::string& text) {
  size_t eq = text.find('=');
  long index = 0;
  double value = 0.0;
  if (eq == std::string::npos || !toLong(text.substr(0, eq), index) || !toDouble(text.substr(eq + 1), value))
    throw HostError("--param expects INDEX=VALUE, got '" + text + "'");
  if (index < 0 || index > 1000000)
    throw HostError("--param index " + text.substr(0, eq) + " is out of range");
  // Parameter values of the VST 2.4 interface are normalised.
  if (value < 0.0 || value > 1.0)
    throw HostError("--param value " + text.substr(eq + 1) + " is outside 0..1");
  ParameterSetting s;
  s.index = static_cast<int>(index);
  s.value = static_cast<float>(value);
  return s;
}

}  // namespace

const char* usageText() {
  return "usage: korvalite-host info PLUGIN [options]\n"
         "       korvalite-host render PLUGIN IN OUT [options]\n"
         "options:\n"
         "  --rate HZ            sample rate given to the plug-in (render: default the input's)\n"
         "  --block N            largest block handed to the plug-in (default 512)\n"
         "  --program N          select program N before anything else\n"
         "  --param INDEX=VALUE  set parameter INDEX to VALUE in 0..1 (repeatable)\n"
         "  --ir FILE            Korvalite: load FILE (WAV, AIFF, FLAC; its first channel) as the\n"
         "                       cabinet's user impulse response and switch the cabinet to User\n"
         "  --save-chunk FILE    render: afterwards write the plug-in's state as a host stores it\n"
         "                       with a project (its bank chunk, effGetChunk) to FILE\n"
         "render writes 32-bit float audio in the format OUT's extension names (.wav, .aif/.aiff"
#ifndef _WIN32
         ", .flac"
#endif
         ");\n"
         "a mono input feeds every plug-in input; the output is exactly as long as the input.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (cl.command.empty())
        cl.command = arg;
      else
        cl.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      cl.help = true;
      continue;
    }
    // Both "--name value" and "--name=value".
    std::string name = arg, value;
    size_t eq = arg.find('=');
    bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (name != "--rate" && name != "--block" && name != "--program" && name != "--param" && name != "--ir" &&
        name != "--save-chunk")
      throw HostError("unknown option '" + name + "' (see --help)");
    if (!inlineValue) {
      if (i + 1 >= args.size()) throw HostError(name + " needs a value");
      value = args[++i];
    }
    if (name == "--rate") {
      double rate = 0.0;
      if (!toDouble(value, rate) || rate < 1.0 || rate > 10000000.0)
        throw HostError("--rate expects a sample rate in Hz, got '" + value + "'");
      cl.sampleRate = rate;
    } else if (name == "--block") {
      long block = 0;
      if (!toLong(value, block) || block < 1 || block > 65536)
        throw HostError("--block expects a block size of 1 to 65536 frames, got '" + value + "'");
      cl.blockSize = static_cast<int>(block);
    } else if (name == "--program") {
      long program = 0;
      if (!toLong(value, program) || program < 0 || program > 1000000)
        throw HostError("--program expects a program number, got '" + value + "'");
      cl.program = static_cast<int>(program);
    } else if (name == "--ir") {
      if (value.empty()) throw HostError("--ir expects an audio file");
      cl.impulseResponse = value;
    } else if (name == "--save-chunk") {
      if (value.empty()) throw HostError("--save-chunk expects a file name");
      cl.saveChunk = value;
    } else {
      cl.parameters.push_back(parseParameter(value));
    }
  }
  return cl;
}
