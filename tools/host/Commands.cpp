#include "tools/host/Commands.h"

#include "tools/host/HostCallback.h"
#include "tools/host/ImpulseResponseFile.h"
#include "tools/host/PluginInstance.h"

namespace {

const Command kCommands[] = {
    {"info", "PLUGIN", 1, &runInfo},
    {"render", "PLUGIN IN OUT", 3, &runRender},
};

}  // namespace

const Command* findCommand(const std::string& name) {
  for (const Command& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

void configureHost(HostCallback& host, const CommandLine& cl, double sampleRate) {
  host.setSampleRate(sampleRate);
  host.setBlockSize(cl.blockSize);
}

void configurePlugin(PluginInstance& plugin, const CommandLine& cl, double sampleRate) {
  plugin.setSampleRate(sampleRate);
  plugin.setBlockSize(cl.blockSize);
  // The program first: selecting it loads its parameter values, which --param then overrides.
  if (cl.program >= 0) plugin.setProgram(cl.program);
  if (!cl.impulseResponse.empty()) loadImpulseResponse(plugin, cl.impulseResponse);
  for (const ParameterSetting& p : cl.parameters) plugin.setParameter(p.index, p.value);
}
