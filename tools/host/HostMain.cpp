// korvalite-host: a command-line VST 2.4 host. Loads one plug-in (a Linux .so natively, a
// Windows DLL in the Windows build), describes it or renders an audio file through it.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/HostError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "tools/host/TextConversion.h"
#endif

#if defined(__SANITIZE_ADDRESS__)
// The native host is built with AddressSanitizer like the rest of the native tree. Leaks inside
// third-party plug-ins would otherwise fail every run that loads them, so leak checking is off
// by default; the tests that load only our own effect turn it back on through ASAN_OPTIONS.
extern "C" const char* __asan_default_options() {
  return "detect_leaks=0";
}
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // Same bytes on both platforms: no CR added to line ends.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  args = utf8Arguments();
  if (!args.empty()) args.erase(args.begin());
  (void)argc;
  (void)argv;
#else
  args.assign(argv + 1, argv + argc);
#endif
  try {
#ifdef _WIN32
    // The editor command reads options of its own (EditorCommand.cpp).
    if (!args.empty() && args[0] == "editor") return runEditorCommand({args.begin() + 1, args.end()});
#endif
    CommandLine cl = parseCommandLine(args);
    if (cl.help) {
      std::fputs(usageText(), stdout);
      return 0;
    }
    if (cl.command.empty()) {
      std::fputs(usageText(), stderr);
      return 2;
    }
    const Command* command = findCommand(cl.command);
    if (!command) throw HostError("unknown command '" + cl.command + "' (see --help)");
    if (static_cast<int>(cl.operands.size()) != command->operandCount)
      throw HostError(std::string(command->name) + " expects " + command->operands + " (see --help)");
    return command->run(cl);
  } catch (const std::exception& e) {
    // One line, whatever the system or a library put into the reason.
    std::string message = e.what();
    for (char& c : message)
      if (c == '\n' || c == '\r') c = ' ';
    for (size_t at; (at = message.find(" )")) != std::string::npos;) message.erase(at, 1);
    while (!message.empty() && message.back() == ' ') message.pop_back();
    std::fflush(stdout);
    std::fprintf(stderr, "korvalite-host: %s\n", message.c_str());
    return 1;
  }
}
