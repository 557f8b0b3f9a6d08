#include "gui/controls/win32/Win32PopupMenuTracker.h"

#include <vector>

#include "gui/controls/COptionMenu.h"
#include "gui/controls/ControlsPlatform.h"
#include "gui/controls/PopupMenuBuilder.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

namespace {

std::vector<wchar_t> toWide(const std::string& utf8) {
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(needed > 0 ? static_cast<size_t>(needed) : 1, L'\0');
  if (needed <= 0 || MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), needed) <= 0)
    wide.assign(1, L'\0');
  return wide;
}

// Builds the native menus and keeps what must be destroyed after tracking.
class Win32MenuBuilder : public PopupMenuBuilder {
 public:
  ~Win32MenuBuilder() override {
    // Destroying a menu destroys the sub-menus attached to it; a sub-menu that could not be
    // attached is destroyed on its own.
    for (HMENU menu : unattached) DestroyMenu(menu);
    for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
  }

  void* createMenu() override {
    HMENU menu = CreatePopupMenu();
    if (menu) unattached.push_back(menu);
    return menu;
  }

  void appendEntry(void* menuHandle, const PopupMenuEntry& entry, void* submenuHandle) override {
    HMENU menu = static_cast<HMENU>(menuHandle);
    if (entry.kind == PopupMenuEntry::kSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      return;
    }
    const std::vector<wchar_t> text = toWide(entry.text);
    UINT flags = MF_STRING;
    if (entry.columnBreak) flags |= MF_MENUBARBREAK;
    UINT_PTR id = 0;
    if (entry.kind == PopupMenuEntry::kSubmenu) {
      if (submenuHandle) {
        flags |= MF_POPUP;
        id = reinterpret_cast<UINT_PTR>(submenuHandle);
      } else {
        flags |= MF_GRAYED;  // nested too deep to show
      }
    } else {
      if (entry.grayed) flags |= MF_GRAYED;
      if (entry.disabled) flags |= MF_DISABLED;
      if (entry.checked) flags |= MF_CHECKED;
      id = static_cast<UINT_PTR>(entry.id);
    }
    if (!AppendMenuW(menu, flags, id, text.data())) return;
    if (flags & MF_POPUP) markAttached(static_cast<HMENU>(submenuHandle));
    if (entry.icon) attachIcon(menu, entry.icon);
  }

  HMENU root() const { return unattached.empty() ? nullptr : unattached.front(); }

 private:
  void markAttached(HMENU menu) {
    for (auto it = unattached.begin(); it != unattached.end(); ++it) {
      if (*it == menu) {
        unattached.erase(it);
        return;
      }
    }
  }

  // The icon's GDI+ image as a GDI bitmap shown beside the last appended entry.
  void attachIcon(HMENU menu, CBitmap* icon) {
    auto* image = static_cast<Gdiplus::GpBitmap*>(icon->getGdiplusBitmap());
    HBITMAP bitmap = nullptr;
    if (!image || gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0) != Gdiplus::Ok || !bitmap) return;
    bitmaps.push_back(bitmap);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = bitmap;
    SetMenuItemInfoW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
  }

  // The root is first; attached sub-menus leave the list.
  std::vector<HMENU> unattached;
  std::vector<HBITMAP> bitmaps;
};

}  // namespace

int32_t Win32PopupMenuTracker::track(COptionMenu& menu, CFrame& frame, CPos where, bool rightButton) {
  HWND window = static_cast<HWND>(frame.getWindowHandle());
  if (!window) return -1;
  RECT windowRect;
  if (!GetWindowRect(window, &windowRect)) return -1;

  int32_t chosen = -1;
  {
    Win32MenuBuilder builder;
    int32_t counter = 0;
    HMENU root = static_cast<HMENU>(menu.buildPopupMenu(builder, counter));
    if (!root) return -1;
    menu.setNativeMenu(root);
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | (rightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    // Without TPM_RETURNCMD the choice arrives as a posted WM_COMMAND to the owner window;
    // take it from the queue here so that the frame's window procedure never sees it.
    const float scale = frame.getScale();
    if (TrackPopupMenu(root, flags, windowRect.left + static_cast<LONG>(static_cast<float>(where.x) * scale),
                       windowRect.top + static_cast<LONG>(static_cast<float>(where.y) * scale), 0, window,
                       nullptr)) {
      MSG message;
      if (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(message.wParam) == 0)
        chosen = LOWORD(message.wParam);
    }
  }
  return chosen;
}

int32_t systemDoubleClickTime() {
  return static_cast<int32_t>(GetDoubleClickTime());
}

PopupMenuTracker& platformPopupMenuTracker() {
  static Win32PopupMenuTracker tracker;
  return tracker;
}

}  // namespace VSTGUI
