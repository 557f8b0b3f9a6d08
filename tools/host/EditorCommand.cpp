// korvalite-host editor PLUGIN: opens the plug-in's editor in a top-level window the way a DAW
// does (sized from effEditGetRect, effEditIdle about 30 times a second, the wheel and keys
// passed on), feeds audio from a second thread meanwhile, performs a script of real user
// input and saves screenshots. The host's callbacks (begin edit, automate, end edit) are logged
// on stderr by HostCallback, the actions with their time beside them.
#ifdef _WIN32
#include <windows.h>
#include <windowsx.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "tools/host/AudioFileReader.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/EditorInput.h"
#include "tools/host/EditorScript.h"
#include "tools/host/HostCallback.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"
#include "tools/host/TextConversion.h"
#include "tools/host/WindowScreenshot.h"

namespace {

constexpr UINT kIdleTimer = 1;
constexpr UINT kIdlePeriodMs = 33;  // about 30 idle calls a second, as DAWs give
constexpr UINT kRunAction = WM_APP + 1;
constexpr int kScreenMargin = 20;
constexpr double kSineFrequency = 220.0;
constexpr double kSineAmplitude = 0.5;

const char* editorUsage() {
  return "usage: korvalite-host editor PLUGIN [options]\n"
         "  --audio FILE|sine    feed FILE (looped) or a 220 Hz sine at -6 dBFS while the editor is open\n"
         "  --do ACTIONS         user actions separated by ';' (see tools/host/EditorScript.h)\n"
         "  --script FILE        user actions from FILE, one a line\n"
         "  --screenshot F.png   save the editor as PNG at the end\n"
         "  --hold MS            keep the editor open MS milliseconds after the actions (default 300)\n"
         "  --rate, --block, --program, --param as for render\n";
}

struct EditorOptions {
  std::string audio;
  std::string script;
  std::string screenshot;
  int holdMs = 300;
};

std::chrono::steady_clock::time_point startTime;

long elapsedMs() {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime)
          .count());
}

void logLine(const std::string& text) {
  std::fprintf(stderr, "korvalite-host: [%6ld ms] %s\n", elapsedMs(), text.c_str());
  std::fflush(stderr);
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(widen(path).c_str(), std::ios::binary);
  if (!in) throw HostError("cannot read the script " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Plays the DAW's audio thread: blocks at the pace of the sample rate, from a file (looped) or
// a sine, or silence while the script says so.
class AudioFeeder {
 public:
  AudioFeeder(PluginInstance& plugin, const std::string& source, double rate, int block)
      : plugin_(plugin), source_(source), rate_(rate), block_(block) {}
  ~AudioFeeder() { stop(); }

  void start() {
    if (source_.empty()) return;
    if (source_ != "sine") reader_ = std::make_unique<AudioFileReader>(source_);
    running_ = true;
    thread_ = std::thread([this] { run(); });
  }
  void stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }
  void setSilent(bool silent) { silent_ = silent; }

 private:
  void fill(std::vector<float>& left, std::vector<float>& right) {
    if (silent_) {
      std::fill(left.begin(), left.end(), 0.0f);
      std::fill(right.begin(), right.end(), 0.0f);
      return;
    }
    if (!reader_) {
      for (size_t i = 0; i < left.size(); ++i, ++phase_)
        left[i] = right[i] = static_cast<float>(
            kSineAmplitude * std::sin(6.283185307179586 * kSineFrequency * phase_ / rate_));
      return;
    }
    const int channels = reader_->channels();
    std::vector<float> interleaved(left.size() * channels);
    int got = reader_->read(interleaved.data(), static_cast<int>(left.size()));
    if (got < static_cast<int>(left.size())) {
      reader_ = std::make_unique<AudioFileReader>(source_);  // loop
    }
    for (size_t i = 0; i < left.size(); ++i) {
      const bool have = static_cast<int>(i) < got;
      left[i] = have ? interleaved[i * channels] : 0.0f;
      right[i] = have ? interleaved[i * channels + (channels > 1 ? 1 : 0)] : 0.0f;
    }
  }

  void run() {
    std::vector<float> inL(block_), inR(block_), outL(block_), outR(block_);
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    const auto period = std::chrono::duration<double>(block_ / rate_);
    auto next = std::chrono::steady_clock::now();
    while (running_) {
      fill(inL, inR);
      plugin_.process(inputs, outputs, 2, block_);
      next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
      std::this_thread::sleep_until(next);
    }
  }

  PluginInstance& plugin_;
  std::string source_;
  double rate_;
  int block_;
  std::unique_ptr<AudioFileReader> reader_;
  double phase_ = 0.0;
  std::atomic<bool> running_{false};
  std::atomic<bool> silent_{false};
  std::thread thread_;
};

// The DAW's plug-in window and its thread's side of every action.
class EditorHost {
 public:
  EditorHost(PluginInstance& plugin, AudioFeeder& audio) : plugin_(plugin), audio_(audio) {}

  AEffect* effect() const { return const_cast<AEffect*>(&plugin_.record()); }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const {
    return effect()->dispatcher(effect(), opcode, index, value, ptr, opt);
  }
  HWND window() const { return window_; }

  void open() {
    ERect* rect = nullptr;
    if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect) throw HostError("the plug-in gives no editor size");
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0) throw HostError("the plug-in's editor size is empty");
    logLine("editor rectangle " + std::to_string(width) + " x " + std::to_string(height));

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &EditorHost::windowProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"KorvaliteHostEditor";
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"Korvalite", style, kScreenMargin, kScreenMargin,
                              outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              wc.hInstance, this);
    if (!window_) throw HostError("cannot create the editor window");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
    dispatch(effEditOpen, 0, 0, window_);
    UpdateWindow(window_);
    SetTimer(window_, kIdleTimer, kIdlePeriodMs, nullptr);
  }

  // Runs an action that needs the window's thread (parameters, screenshots) there.
  void runOnWindowThread(const EditorAction& action) {
    SendMessageW(window_, kRunAction, 0, reinterpret_cast<LPARAM>(&action));
  }

  void messageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      dispatchedWindow_ = message.hwnd;
      DispatchMessageW(&message);
    }
  }

  void printParameters(const char* label = "parameter") {
    for (int i = 0; i < plugin_.record().numParams; ++i)
      logLine(std::string(label) + " " + std::to_string(i) + " = " + formatValue(plugin_.parameter(i)));
  }

  void screenshot(const std::string& path) {
    // Let the editor draw what changed, then take the window as it stands on screen.
    dispatch(effEditIdle);
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    writePng(path, captureClientArea(window_));
    logLine("screenshot " + path);
  }

  static std::string formatValue(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(v));
    return text;
  }

 private:
  static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EditorHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(hwnd, message, wParam, lParam);
  }

  LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kIdleTimer) dispatch(effEditIdle);
        return 0;
      case WM_MOUSEWHEEL: {
        const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        // Passed up by the plug-in's window, which has already had it (systems that deliver
        // the wheel to the window under the pointer): giving it back would turn twice.
        if (dispatchedWindow_ != hwnd) {
          logLine("wheel " + formatValue(notches) + " seen by the plug-in window");
          return 0;
        }
        // The wheel came to this window (systems that deliver it to the focus window): as DAWs
        // do, first the plug-in's own wheel request, else the plug-in window under the pointer.
        const VstInt32 stCA = ('s' << 24) | ('t' << 16) | ('C' << 8) | 'A';
        const VstIntPtr whee = ('W' << 24) | ('h' << 16) | ('e' << 8) | 'e';
        if (dispatch(effVendorSpecific, stCA, whee, nullptr, notches)) {
          logLine("wheel " + formatValue(notches) + " taken by the plug-in's wheel request");
          return 0;
        }
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &p);
        HWND child = ChildWindowFromPoint(hwnd, p);
        if (child && child != hwnd) SendMessageW(child, WM_MOUSEWHEEL, wParam, lParam);
        logLine("wheel " + formatValue(notches) + " passed to the plug-in window");
        return 0;
      }
      case WM_KEYDOWN:
      case WM_KEYUP: {
        VstKeyCode key = keyCodeFor(static_cast<UINT>(wParam));
        const VstInt32 opcode = message == WM_KEYDOWN ? effEditKeyDown : effEditKeyUp;
        const VstIntPtr used = dispatch(opcode, key.character, key.virt, nullptr, key.modifier);
        if (message == WM_KEYDOWN)
          logLine("key " + std::to_string(wParam) +
                  (used ? " used by the editor" : " not used by the editor"));
        return 0;
      }
      case kRunAction:
        runAction(*reinterpret_cast<const EditorAction*>(lParam));
        return 0;
      case WM_CLOSE:
        KillTimer(hwnd, kIdleTimer);
        dispatch(effEditClose);
        DestroyWindow(hwnd);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  }

  void runAction(const EditorAction& a) {
    switch (a.kind) {
      case EditorAction::kShot:
        screenshot(a.text);
        break;
      case EditorAction::kParam:
        plugin_.setParameter(a.amount, a.value);
        break;
      case EditorAction::kAudio:
        audio_.setSilent(a.text == "off");
        break;
      case EditorAction::kPrint:
        printParameters();
        break;
      default:
        break;
    }
  }

  // The published VST 2.4 key record: ASCII character, virtual key, modifier bits.
  static VstKeyCode keyCodeFor(UINT virtualKey) {
    static const struct {
      UINT windows;
      unsigned char vst;
    } kKeys[] = {{VK_BACK, 1},  {VK_TAB, 2}, {VK_RETURN, 4}, {VK_ESCAPE, 6}, {VK_SPACE, 7},
                 {VK_LEFT, 11}, {VK_UP, 12}, {VK_RIGHT, 13}, {VK_DOWN, 14},  {VK_DELETE, 22}};
    VstKeyCode key = {};
    for (const auto& k : kKeys)
      if (k.windows == virtualKey) key.virt = k.vst;
    if (!key.virt && ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')))
      key.character = static_cast<VstInt32>(virtualKey >= 'A' ? virtualKey - 'A' + 'a' : virtualKey);
    if (GetKeyState(VK_SHIFT) < 0) key.modifier |= 1;
    if (GetKeyState(VK_MENU) < 0) key.modifier |= 2;
    if (GetKeyState(VK_CONTROL) < 0) key.modifier |= 8;
    return key;
  }

  PluginInstance& plugin_;
  AudioFeeder& audio_;
  HWND window_ = nullptr;
  HWND dispatchedWindow_ = nullptr;  // the window the message loop is delivering to
};

// The script thread: input goes through the window system; everything else is handed to the
// window's thread.
void performActions(EditorHost& host, const std::vector<EditorAction>& actions, int holdMs,
                    std::atomic<bool>& failed) {
  EditorInput input(host.window());
  try {
    Sleep(200);  // the window's first paint
    for (const EditorAction& a : actions) {
      logLine(a.source);
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
          input.button(true, false);
          input.button(false, false);
          if (!input.chooseFromPopup(a.amount)) logLine("no pop-up menu entry " + std::to_string(a.amount));
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
    logLine(std::string("failed: ") + e.what());
    failed = true;
  }
  PostMessageW(host.window(), WM_CLOSE, 0, 0);
}

}  // namespace

int runEditorCommand(const std::vector<std::string>& args) {
  startTime = std::chrono::steady_clock::now();
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

  HostCallback callbacks;
  configureHost(callbacks, cl, rate);
  PluginModule module(cl.operands[0]);
  PluginInstance plugin(module);
  configurePlugin(plugin, cl, rate);
  if (!(plugin.record().flags & effFlagsHasEditor))
    throw HostError(cl.operands[0] + ": the plug-in has no editor");

  plugin.start();
  AudioFeeder audio(plugin, options.audio, rate, cl.blockSize);
  EditorHost host(plugin, audio);
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
