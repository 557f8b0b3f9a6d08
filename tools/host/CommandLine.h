// The host tool's command line: a command name, its operands and the options shared by the
// commands. Parsing checks only what needs no plug-in (number syntax and ranges); indices are
// checked against the plug-in once it is loaded.
#pragma once

#include <string>
#include <vector>

struct ParameterSetting {
  int index = 0;
  float value = 0.0f;
};

struct CommandLine {
  std::string command;                       // "info", "render", or empty with help set
  std::vector<std::string> operands;         // positional arguments after the command
  double sampleRate = 0.0;                   // --rate; 0 = the input's rate (render) or 44100 (info)
  int blockSize = 512;                       // --block
  int program = -1;                          // --program; -1 = leave the plug-in's own
  std::vector<ParameterSetting> parameters;  // --param INDEX=VALUE, in command-line order
  std::string impulseResponse;               // --ir FILE: Korvalite's user response, played on User
  std::string saveChunk;                     // --save-chunk FILE: render writes the bank chunk there
  bool help = false;
};

// Parses args (without the program name). Throws HostError on malformed options.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
const char* usageText();
