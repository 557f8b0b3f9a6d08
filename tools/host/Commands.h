// The host tool's commands. Each is one function from a parsed command line to an exit code;
// failures are thrown as HostError. A new command (the editor, say) is one more entry in the
// table in Commands.cpp and one more source file.
#pragma once

#include <string>
#include <vector>

#include "tools/host/CommandLine.h"

class HostCallback;
class PluginInstance;

struct Command {
  const char* name;
  const char* operands;  // for messages, e.g. "PLUGIN IN OUT"
  int operandCount;
  int (*run)(const CommandLine&);
};

// The command of that name, or null.
const Command* findCommand(const std::string& name);

int runInfo(const CommandLine& cl);
int runRender(const CommandLine& cl);
// `editor PLUGIN [options]` (Windows only): args are the words after "editor".
int runEditorCommand(const std::vector<std::string>& args);

// What every command does before the plug-in is created: the host answers with these settings
// from the first callback on (plug-ins may ask while their entry point runs).
void configureHost(HostCallback& host, const CommandLine& cl, double sampleRate);
// What every command does once the plug-in is open, before anything else: tell it the sample
// rate and block size, then select --program and apply each --param in order.
void configurePlugin(PluginInstance& plugin, const CommandLine& cl, double sampleRate);
