#include "tools/host/EditorHost.h"

#ifdef _WIN32
#include <windowsx.h>

#include <chrono>
#include <cstdio>

#include "tools/host/AudioFeeder.h"
#include "tools/host/FileDrop.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/ProcessCensus.h"
#include "tools/host/WindowScreenshot.h"

namespace {

constexpr UINT kIdleTimer = 1;
constexpr UINT kIdlePeriodMs = 33;  // about 30 idle calls a second, as DAWs give
constexpr UINT kRunAction = WM_APP + 1;
constexpr int kScreenMargin = 20;

std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();

double nowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The calling thread's processor time (kernel and user), in milliseconds.
double threadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Mean and worst of a series of durations, for the log.
struct Timings {
  double total = 0.0, worst = 0.0;
  int count = 0;
  void add(double ms) {
    total += ms;
    worst = ms > worst ? ms : worst;
    ++count;
  }
  std::string text() const {
    char line[96];
    std::snprintf(line, sizeof line, "mean %.1f ms, worst %.1f ms over %d", count ? total / count : 0.0,
                  worst, count);
    return line;
  }
};

}  // namespace

void startEditorClock() {
  startTime = std::chrono::steady_clock::now();
}

void editorLog(const std::string& text) {
  const long ms = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime)
          .count());
  std::fprintf(stderr, "korvalite-host: [%6ld ms] %s\n", ms, text.c_str());
  std::fflush(stderr);
}

AEffect* EditorHost::effect() const {
  return const_cast<AEffect*>(&plugin_.record());
}

VstIntPtr EditorHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return effect()->dispatcher(effect(), opcode, index, value, ptr, opt);
}

void EditorHost::open() {
  ERect* rect = nullptr;
  if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect) throw HostError("the plug-in gives no editor size");
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) throw HostError("the plug-in's editor size is empty");
  editorLog("editor rectangle " + std::to_string(width) + " x " + std::to_string(height));

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
  const double start = nowMs();
  dispatch(effEditOpen, 0, 0, window_);
  const double opened = nowMs();
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  char line[80];
  std::snprintf(line, sizeof line, "editor opened in %.1f ms, first paint %.1f ms", opened - start,
                nowMs() - opened);
  editorLog(line);
  SetTimer(window_, kIdleTimer, kIdlePeriodMs, nullptr);
}

bool EditorHost::resizeTo(int width, int height) {
  if (refuseResize_ || !window_ || width <= 0 || height <= 0 || width > 8192 || height > 8192) {
    editorLog("refused an editor size of " + std::to_string(width) + " x " + std::to_string(height));
    return false;
  }
  RECT outer = {0, 0, width, height};
  AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  editorLog("editor resized to " + std::to_string(width) + " x " + std::to_string(height));
  return true;
}

void EditorHost::runOnWindowThread(const EditorAction& action) {
  SendMessageW(window_, kRunAction, 0, reinterpret_cast<LPARAM>(&action));
}

void EditorHost::messageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    dispatchedWindow_ = message.hwnd;
    DispatchMessageW(&message);
  }
}

void EditorHost::printParameters(const char* label) {
  for (int i = 0; i < plugin_.record().numParams; ++i)
    editorLog(std::string(label) + " " + std::to_string(i) + " = " + formatValue(plugin_.parameter(i)));
}

void EditorHost::screenshot(const std::string& path) {
  // Let the editor draw what changed, then take the window as it stands on screen.
  dispatch(effEditIdle);
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  const Screenshot shot = captureClientArea(window_);
  editorLog("captured " + path);
  writePng(path, shot);
  editorLog("screenshot " + path);
}

std::string EditorHost::formatValue(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", static_cast<double>(v));
  return text;
}

LRESULT CALLBACK EditorHost::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<EditorHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->handle(hwnd, message, wParam, lParam);
}

LRESULT EditorHost::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kIdleTimer) dispatch(effEditIdle);
      return 0;
    case WM_MOUSEWHEEL: {
      const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
      // Passed up by the plug-in's window, which has already had it (systems that deliver
      // the wheel to the window under the pointer): giving it back would turn twice.
      if (dispatchedWindow_ != hwnd) {
        editorLog("wheel " + formatValue(notches) + " seen by the plug-in window");
        return 0;
      }
      // The wheel came to this window (systems that deliver it to the focus window): as DAWs
      // do, first the plug-in's own wheel request, else the plug-in window under the pointer.
      const VstInt32 stCA = ('s' << 24) | ('t' << 16) | ('C' << 8) | 'A';
      const VstIntPtr whee = ('W' << 24) | ('h' << 16) | ('e' << 8) | 'e';
      if (dispatch(effVendorSpecific, stCA, whee, nullptr, notches)) {
        editorLog("wheel " + formatValue(notches) + " taken by the plug-in's wheel request");
        return 0;
      }
      POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      HWND child = ChildWindowFromPoint(hwnd, p);
      if (child && child != hwnd) SendMessageW(child, WM_MOUSEWHEEL, wParam, lParam);
      editorLog("wheel " + formatValue(notches) + " passed to the plug-in window");
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
      VstKeyCode key = keyCodeFor(static_cast<UINT>(wParam));
      const VstInt32 opcode = message == WM_KEYDOWN ? effEditKeyDown : effEditKeyUp;
      const VstIntPtr used = dispatch(opcode, key.character, key.virt, nullptr, key.modifier);
      if (message == WM_KEYDOWN)
        editorLog("key " + std::to_string(wParam) +
                  (used ? " used by the editor" : " not used by the editor"));
      return 0;
    }
    case kRunAction: {
      // A sent message overtakes queued input: the user's earlier presses and turns are
      // handled first, so the action sees their effect.
      MSG input;
      while (PeekMessageW(&input, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
        TranslateMessage(&input);
        dispatchedWindow_ = input.hwnd;
        DispatchMessageW(&input);
      }
      runAction(*reinterpret_cast<const EditorAction*>(lParam));
      return 0;
    }
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

// Each cycle as a user closing and opening the plug-in's window: close, open, one paint and
// one idle. What stays behind shows in the memory and the window count logged around it.
void EditorHost::reopen(int cycles) {
  const size_t before = privateBytes();
  const int windowsBefore = childWindows(window_);
  Timings opens;
  for (int i = 0; i < cycles; ++i) {
    dispatch(effEditClose);
    const double start = nowMs();
    dispatch(effEditOpen, 0, 0, window_);
    opens.add(nowMs() - start);
    UpdateWindow(window_);
    dispatch(effEditIdle);
  }
  editorLog("open: " + opens.text());
  const size_t after = privateBytes();
  editorLog("reopened " + std::to_string(cycles) + " times: private memory " + std::to_string(before / 1024) +
            " KB -> " + std::to_string(after / 1024) + " KB, child windows " + std::to_string(windowsBefore) +
            " -> " + std::to_string(childWindows(window_)));
}

// The editor's costs as a user meets them: each idle pass (meters, host changes) with the
// paint it causes, paced like the idle timer, and whole-window repaints; the window thread's
// processor time over the idle part gives its share of a core.
void EditorHost::measure(int milliseconds) {
  Timings idles;
  const double start = nowMs(), cpuStart = threadCpuMs();
  while (nowMs() - start < milliseconds) {
    const double t = nowMs();
    dispatch(effEditIdle);
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    idles.add(nowMs() - t);
    Sleep(kIdlePeriodMs);
  }
  const double share = 100.0 * (threadCpuMs() - cpuStart) / (nowMs() - start);
  Timings repaints;
  const int count = milliseconds / 100 > 0 ? milliseconds / 100 : 1;
  for (int i = 0; i < count; ++i) {
    const double t = nowMs();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    repaints.add(nowMs() - t);
  }
  char cpu[48];
  std::snprintf(cpu, sizeof cpu, "%.1f %% of a core", share);
  editorLog("idle pass with its paint: " + idles.text() + "; window thread " + cpu);
  editorLog("full repaint: " + repaints.text());
}

void EditorHost::runAction(const EditorAction& a) {
  switch (a.kind) {
    case EditorAction::kShot:
      screenshot(a.text);
      break;
    case EditorAction::kScreen:
      writePng(a.text, captureClientArea(GetDesktopWindow()));
      editorLog("screen " + a.text);
      break;
    case EditorAction::kParam:
      plugin_.setParameter(a.amount, a.value);
      break;
    case EditorAction::kAudio:
      audio_.setSilent(a.text == "off");
      editorLog(a.text == "off" ? "audio silenced" : "audio playing");
      break;
    case EditorAction::kPrint:
      printParameters();
      break;
    case EditorAction::kReopen:
      reopen(a.amount);
      break;
    case EditorAction::kMeasure:
      measure(a.amount);
      break;
    case EditorAction::kDrop:
      editorLog("drop answered " + dropFile(window_, a.x, a.y, a.text));
      break;
    default:
      break;
  }
}

VstKeyCode EditorHost::keyCodeFor(UINT virtualKey) {
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
#endif
