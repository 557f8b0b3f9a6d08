#include "gui/controls/win32/Win32PopupMenuTracker.h"

#include <algorithm>
#include <cmath>
#include <memory>
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

// An entry the menu's owner draws itself: at an editor size other than 100 % the pop-up's text
// is set at that size, as the face's own is.
struct DrawnEntry {
  std::vector<wchar_t> text;
  bool checked = false;
  bool grayed = false;
};

// Builds the native menus and keeps what must be destroyed after tracking.
class Win32MenuBuilder : public PopupMenuBuilder {
 public:
  // scale: the editor's size; other than 1 the entries are drawn by the frame window.
  explicit Win32MenuBuilder(float scale) : drawnScale(scale) {}

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
    LPCWSTR item = text.data();
    if (drawnScale != 1.0f && entry.kind == PopupMenuEntry::kCommand && !entry.icon) {
      drawn.push_back(std::make_unique<DrawnEntry>(DrawnEntry{text, entry.checked, entry.grayed}));
      flags = (flags & ~static_cast<UINT>(MF_STRING | MF_CHECKED)) | MF_OWNERDRAW;
      item = reinterpret_cast<LPCWSTR>(drawn.back().get());
    }
    if (!AppendMenuW(menu, flags, id, item)) return;
    if (flags & MF_POPUP) markAttached(static_cast<HMENU>(submenuHandle));
    if (entry.icon) attachIcon(menu, entry.icon);
  }

  HMENU root() const { return unattached.empty() ? nullptr : unattached.front(); }
  float scale() const { return drawnScale; }

 private:
  float drawnScale;
  std::vector<std::unique_ptr<DrawnEntry>> drawn;
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

// The system's menu font at the editor's size (the system's font is made for its own density).
HFONT menuFont(HWND window, float scale) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(window, dc);
  metrics.lfMenuFont.lfHeight =
      static_cast<LONG>(std::lround(static_cast<float>(metrics.lfMenuFont.lfHeight) * scale * 96.0f /
                                    static_cast<float>(dpi > 0 ? dpi : 96)));
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

// What the frame window does for the entries it draws while its pop-up is tracked; every other
// message goes to the frame's own procedure.
struct DrawnMenuOwner {
  WNDPROC frameProcedure = nullptr;
  HFONT font = nullptr;
  float scale = 1.0f;
};
const wchar_t kOwnerProperty[] = L"KorvaliteMenuOwner";

LRESULT CALLBACK drawnMenuProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner = static_cast<DrawnMenuOwner*>(GetPropW(hwnd, kOwnerProperty));
  if (!owner) return DefWindowProcW(hwnd, message, wParam, lParam);
  const int pad = static_cast<int>(std::lround(6.0f * owner->scale));
  const int checkWidth = static_cast<int>(std::lround(20.0f * owner->scale));
  if (message == WM_MEASUREITEM) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure && measure->CtlType == ODT_MENU && measure->itemData) {
      const auto* entry = reinterpret_cast<const DrawnEntry*>(measure->itemData);
      HDC dc = GetDC(hwnd);
      HGDIOBJ previous = SelectObject(dc, owner->font);
      SIZE size = {};
      GetTextExtentPoint32W(dc, entry->text.data(), lstrlenW(entry->text.data()), &size);
      SelectObject(dc, previous);
      ReleaseDC(hwnd, dc);
      measure->itemWidth = static_cast<UINT>(checkWidth + size.cx + 2 * pad);
      measure->itemHeight = static_cast<UINT>(size.cy + pad);
      return TRUE;
    }
  } else if (message == WM_DRAWITEM) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (draw && draw->CtlType == ODT_MENU && draw->itemData) {
      const auto* entry = reinterpret_cast<const DrawnEntry*>(draw->itemData);
      const bool selected = (draw->itemState & ODS_SELECTED) != 0;
      FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
      SetBkMode(draw->hDC, TRANSPARENT);
      SetTextColor(draw->hDC, GetSysColor(entry->grayed ? COLOR_GRAYTEXT
                                          : selected    ? COLOR_HIGHLIGHTTEXT
                                                        : COLOR_MENUTEXT));
      HGDIOBJ previous = SelectObject(draw->hDC, owner->font);
      if (entry->checked) {
        // A tick drawn at the size, as the menu's own would be: no font need have the glyph.
        const RECT& r = draw->rcItem;
        const float unit = static_cast<float>(r.bottom - r.top) / 10.0f;
        const int cx = r.left + checkWidth / 2, cy = (r.top + r.bottom) / 2;
        HPEN tick = CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(unit * 0.9f))),
                              GetTextColor(draw->hDC));
        HGDIOBJ previousPen = SelectObject(draw->hDC, tick);
        const POINT points[] = {{cx - static_cast<LONG>(3 * unit), cy},
                                {cx - static_cast<LONG>(unit), cy + static_cast<LONG>(2 * unit)},
                                {cx + static_cast<LONG>(3 * unit), cy - static_cast<LONG>(2 * unit)}};
        Polyline(draw->hDC, points, 3);
        SelectObject(draw->hDC, previousPen);
        DeleteObject(tick);
      }
      RECT text = draw->rcItem;
      text.left += checkWidth;
      DrawTextW(draw->hDC, entry->text.data(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      SelectObject(draw->hDC, previous);
      return TRUE;
    }
  }
  return CallWindowProcW(owner->frameProcedure, hwnd, message, wParam, lParam);
}

}  // namespace

int32_t Win32PopupMenuTracker::track(COptionMenu& menu, CFrame& frame, CPos where, bool rightButton) {
  HWND window = static_cast<HWND>(frame.getWindowHandle());
  if (!window) return -1;
  RECT windowRect;
  if (!GetWindowRect(window, &windowRect)) return -1;

  int32_t chosen = -1;
  {
    Win32MenuBuilder builder(frame.getScale());
    int32_t counter = 0;
    HMENU root = static_cast<HMENU>(menu.buildPopupMenu(builder, counter));
    if (!root) return -1;
    menu.setNativeMenu(root);
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | (rightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    // Without TPM_RETURNCMD the choice arrives as a posted WM_COMMAND to the owner window;
    // take it from the queue here so that the frame's window procedure never sees it.
    const float scale = frame.getScale();
    // The frame window owns the pop-up, so it is asked to measure and draw the entries it has.
    DrawnMenuOwner owner;
    if (scale != 1.0f && (owner.font = menuFont(window, scale)) != nullptr) {
      owner.scale = scale;
      SetPropW(window, kOwnerProperty, &owner);
      owner.frameProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&drawnMenuProcedure)));
    }
    if (TrackPopupMenu(root, flags, windowRect.left + static_cast<LONG>(static_cast<float>(where.x) * scale),
                       windowRect.top + static_cast<LONG>(static_cast<float>(where.y) * scale), 0, window,
                       nullptr)) {
      MSG message;
      if (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(message.wParam) == 0)
        chosen = LOWORD(message.wParam);
    }
    if (owner.frameProcedure) {
      // A window the host destroyed during the pop-up is gone with its procedure.
      if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(owner.frameProcedure));
        RemovePropW(window, kOwnerProperty);
      }
    }
    if (owner.font) DeleteObject(owner.font);
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
