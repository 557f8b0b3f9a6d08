// korvalite-host editor PLUGIN: opens the plug-in's editor in a top-level window the way a DAW
// does (sized from effEditGetRect, effEditIdle about 30 times a second, the wheel and keys
// passed on), feeds audio from a second thread meanwhile, performs a script of real user
// input and saves screenshots. The host's callbacks (begin edit, automate, end edit) are logged
// on stderr by HostCallback, the actions with their time beside them.
#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tools/host/AudioFeeder.h"
#include "tools/host/AudioFileReader.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/EditorHost.h"
#include "tools/host/EditorInput.h"
#include "tools/host/EditorScript.h"
#include "tools/host/HostCallback.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"
#include "tools/host/TextConversion.h"

namespace {

const char* editorUsage() {
  return "usage: korvalite-host editor PLUGIN [options]\n"
         "  --audio FILE|sine    feed FILE (looped) or a 220 Hz sine at -6 dBFS while the editor is open\n"
         "  --do ACTIONS         user actions separated by ';' (see tools/host/EditorScript.h)\n"
         "  --script FILE        user actions from FILE, one a line\n"
         "  --screenshot F.png   save the editor as PNG at the end\n"
         "  --hold MS            keep the editor open MS milliseconds after the actions (default 300)\n"
         "  --refuse-size        answer no when the plug-in asks for another editor size\n"
         "  --rate, --block, --program, --param as for render\n";
}

struct EditorOptions {
  std::string audio;
  std::string script;
  std::string screenshot;
  int holdMs = 300;
  bool refuseSize = false;
};

// As today's DAWs are: per-monitor DPI aware, so the plug-in sees the screen's real density.
void becomeDpiAware() {
  using SetAwareness = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto set = user32 ? reinterpret_cast<SetAwareness>(
                          reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                    : nullptr;
  if (set) set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)));  // per monitor, second version
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(widen(path).c_str(), std::ios::binary);
  if (!in) throw HostError("cannot read the script " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The script thread: input goes through the window system; everything else is handed to the
// window's thread.
void performActions(EditorHost& host, const std::vector<EditorAction>& actions, int holdMs,
                    std::atomic<bool>& failed) {
  EditorInput input(host.window());
  try {
    Sleep(200);  // the window's first paint
    int percent = 100;
    for (EditorAction a : actions) {
      editorLog(a.source);
      if (a.kind == EditorAction::kScale) {
        percent = a.amount;
        continue;
      }
      // Written for the face at 100 %: where the same spot is at the editor's size.
      for (int* c : {&a.x, &a.y, &a.x2, &a.y2}) *c = static_cast<int>(std::lround(*c * percent / 100.0));
      switch (a.kind) {
        case EditorAction::kMove:
          input.moveTo(a.x, a.y);
          break;
        case EditorAction::kPress:
        case EditorAction::kRelease: {
          const bool down = a.kind == EditorAction::kPress;
          if (down) input.modifiers(true, a.control, a.shift, a.alt);
          input.button(down, a.rightButton);
          if (!down) input.modifiers(false, a.control, a.shift, a.alt);
          break;
        }
        case EditorAction::kClick:
          input.moveTo(a.x, a.y);
          input.modifiers(true, a.control, a.shift, a.alt);
          input.button(true, a.rightButton);
          input.button(false, a.rightButton);
          input.modifiers(false, a.control, a.shift, a.alt);
          break;
        case EditorAction::kDrag:
          input.moveTo(a.x, a.y);
          input.button(true, false);
          for (int step = 1; step <= a.amount; ++step)
            input.moveTo(a.x + (a.x2 - a.x) * step / a.amount, a.y + (a.y2 - a.y) * step / a.amount);
          input.button(false, false);
          break;
        case EditorAction::kWheel:
          input.moveTo(a.x, a.y);
          input.wheel(a.amount);
          break;
        case EditorAction::kKey:
          if (!input.key(a.text)) throw HostError("editor action '" + a.source + "': unknown key");
          break;
        case EditorAction::kMenu:
          input.moveTo(a.x, a.y);
          input.button(true, a.rightButton);
          input.button(false, a.rightButton);
          if (!input.chooseFromPopup(a.amount)) editorLog("no pop-up menu entry " + std::to_string(a.amount));
          break;
        case EditorAction::kWait:
          Sleep(static_cast<DWORD>(a.amount));
          break;
        default:
          host.runOnWindowThread(a);
          break;
      }
    }
    Sleep(static_cast<DWORD>(holdMs));
  } catch (const std::exception& e) {
    editorLog(std::string("failed: ") + e.what());
    failed = true;
  }
  PostMessageW(host.window(), WM_CLOSE, 0, 0);
}

}  // namespace

int runEditorCommand(const std::vector<std::string>& args) {
  startEditorClock();
  // The editor's own options; the rest are the shared ones.
  EditorOptions options;
  std::vector<std::string> shared = {"editor"};
  std::vector<EditorAction> actions;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw HostError(a + " needs a value");
      return args[++i];
    };
    if (a == "--audio") {
      options.audio = value();
    } else if (a == "--do") {
      for (EditorAction& e : parseEditorScript(value())) actions.push_back(e);
    } else if (a == "--script") {
      for (EditorAction& e : parseEditorScript(readTextFile(value()))) actions.push_back(e);
    } else if (a == "--refuse-size") {
      options.refuseSize = true;
    } else if (a == "--screenshot") {
      options.screenshot = value();
    } else if (a == "--hold") {
      const std::string v = value();
      char* end = nullptr;
      const long ms = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || ms < 0 || ms > 3600000) throw HostError("--hold expects milliseconds");
      options.holdMs = static_cast<int>(ms);
    } else {
      shared.push_back(a);
    }
  }
  CommandLine cl = parseCommandLine(shared);
  if (cl.help) {
    std::fputs(editorUsage(), stdout);
    return 0;
  }
  if (cl.operands.size() != 1) throw HostError("editor expects PLUGIN (see editor --help)");

  double rate = cl.sampleRate > 0.0 ? cl.sampleRate : 44100.0;
  if (cl.sampleRate <= 0.0 && !options.audio.empty() && options.audio != "sine")
    rate = AudioFileReader(options.audio).sampleRate();

  becomeDpiAware();
  HostCallback callbacks;
  configureHost(callbacks, cl, rate);
  PluginModule module(cl.operands[0]);
  // What a project with many instances pays: the first builds what instances share, each
  // further one (created and destroyed here, as a DAW adding a track) only its own part.
  const auto created = std::chrono::steady_clock::now();
  PluginInstance plugin(module);
  const auto further = std::chrono::steady_clock::now();
  { PluginInstance extra(module); }
  const auto done = std::chrono::steady_clock::now();
  char costs[96];
  std::snprintf(costs, sizeof costs, "first instance %.1f ms, a further one %.1f ms",
                std::chrono::duration<double, std::milli>(further - created).count(),
                std::chrono::duration<double, std::milli>(done - further).count());
  editorLog(costs);
  configurePlugin(plugin, cl, rate);
  if (!(plugin.record().flags & effFlagsHasEditor))
    throw HostError(cl.operands[0] + ": the plug-in has no editor");

  plugin.start();
  AudioFeeder audio(plugin, options.audio, rate, cl.blockSize);
  EditorHost host(plugin, audio);
  host.refuseResize(options.refuseSize);
  callbacks.onSizeWindow([&host](int width, int height) { return host.resizeTo(width, height); });
  host.open();
  audio.start();
  std::atomic<bool> failed{false};
  // The final screenshot is one more action, taken before the window closes.
  if (!options.screenshot.empty()) {
    EditorAction shot;
    shot.kind = EditorAction::kShot;
    shot.text = options.screenshot;
    shot.source = "shot " + options.screenshot;
    EditorAction hold;
    hold.kind = EditorAction::kWait;
    hold.amount = options.holdMs;
    hold.source = "wait " + std::to_string(options.holdMs);
    actions.push_back(hold);
    actions.push_back(shot);
  }
  std::thread script(
      [&] { performActions(host, actions, options.screenshot.empty() ? options.holdMs : 0, failed); });
  host.messageLoop();
  script.join();
  audio.stop();
  host.printParameters("final parameter");
  plugin.stop();
  if (failed) throw HostError("the editor script failed");
  return 0;
}
#endif
