#include "tools/host/EditorInput.h"

#ifdef _WIN32
#include <windows.h>

#include <cctype>

namespace {

// Time for the window's thread to take each event from its queue, as a user's hand would give.
constexpr DWORD kEventGap = 25;

void send(INPUT& input) {
  SendInput(1, &input, sizeof(INPUT));
  Sleep(kEventGap);
}

// Moves the pointer to a screen position: absolute coordinates run over 0..65535 of the
// primary screen.
void moveScreen(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  // Up to the next step of 1/65536 of the screen: the system takes the pixel back by rounding
  // down (Wine) or to the nearest, and either gives x again, where rounding to the nearest here
  // can land one pixel short on a screen whose width does not divide 65536.
  input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  send(input);
}

void keyEvent(WORD virtualKey, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  send(input);
}

}  // namespace

void EditorInput::moveTo(int x, int y) {
  POINT p = {x, y};
  ClientToScreen(static_cast<HWND>(window_), &p);
  moveScreen(p.x, p.y);
}

void EditorInput::button(bool down, bool right) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  if (right)
    input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  else
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  send(input);
}

void EditorInput::modifiers(bool down, bool control, bool shift, bool alt) {
  if (control) keyEvent(VK_CONTROL, down);
  if (shift) keyEvent(VK_SHIFT, down);
  if (alt) keyEvent(VK_MENU, down);
}

void EditorInput::wheel(int notches) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  send(input);
}

bool EditorInput::key(const std::string& name) {
  static const struct {
    const char* name;
    WORD key;
  } kNamed[] = {{"tab", VK_TAB},        {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE},
                {"left", VK_LEFT},      {"right", VK_RIGHT},   {"up", VK_UP},         {"down", VK_DOWN},
                {"backspace", VK_BACK}, {"delete", VK_DELETE}};
  WORD virtualKey = 0;
  for (const auto& k : kNamed)
    if (name == k.name) virtualKey = k.key;
  if (!virtualKey && name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    virtualKey = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
  if (!virtualKey) return false;
  keyEvent(virtualKey, true);
  keyEvent(virtualKey, false);
  return true;
}

bool EditorInput::chooseFromPopup(int entry) {
  // The pop-up is a window of the system's menu class owned by the window's thread.
  HWND popup = nullptr;
  for (int tries = 0; tries < 250 && !popup; ++tries) {  // up to 5 s on a busy machine
    popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) {
      popup = nullptr;
      Sleep(20);
    }
  }
  if (!popup) return false;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  if (menu && entry >= GetMenuItemCount(menu)) {
    keyEvent(VK_ESCAPE, true);
    keyEvent(VK_ESCAPE, false);
    return false;
  }
  RECT item = {};
  if (!menu || !GetMenuItemRect(nullptr, menu, static_cast<UINT>(entry), &item) || item.right <= item.left) {
    // Without the entry's place the keyboard chooses: the first Down selects the first entry.
    for (int i = 0; i <= entry; ++i) keyEvent(VK_DOWN, true), keyEvent(VK_DOWN, false);
    keyEvent(VK_RETURN, true);
    keyEvent(VK_RETURN, false);
    return true;
  }
  moveScreen((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  button(true, false);
  button(false, false);
  return true;
}
#endif
