// The option menu's native pop-up, tracked for real: while TrackPopupMenu runs its modal loop
// on the test's thread, a second thread finds the pop-up window, reads the native menu the
// way a screen reader would, and chooses an item with the keyboard as a user would.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/controls/COptionMenu.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/win32/GdiPlusFlat.h"
#include "tests/support/ControlTestSupport.h"
#include "tests/support/HostWindow.h"

using namespace VSTGUI;
using controls_test::Log;

namespace {

struct NativeItem {
  UINT id = 0;
  UINT type = 0;
  UINT state = 0;
  HMENU submenu = nullptr;
  HBITMAP bitmap = nullptr;
  std::wstring text;
};

std::vector<NativeItem> readMenu(HMENU menu) {
  std::vector<NativeItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_BITMAP;
    info.dwTypeData = text;
    info.cch = 127;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    items.push_back(NativeItem{info.wID, info.fType, info.fState, info.hSubMenu, info.hbmpItem, text});
  }
  return items;
}

// The visible pop-up menu window (class #32768), if one is open.
HWND visiblePopup() {
  return visibleWindowOfClass(L"#32768");
}

// Plays the user's part from a second thread: waits for the pop-up, reads its menu, then
// presses keys with short pauses. If the pop-up never shows, nothing is pressed; if the keys
// do not end it, escape is pressed so the test cannot hang.
class MenuUser {
 public:
  explicit MenuUser(std::vector<WORD> keys, int clickItem = -1)
      : keys(std::move(keys)), clickItem(clickItem) {
    worker = std::thread([this] { run(); });
  }
  ~MenuUser() {
    if (worker.joinable()) worker.join();
  }
  void join() { worker.join(); }

  bool sawPopup = false;
  POINT popupCorner = {};
  std::vector<NativeItem> root;
  std::vector<NativeItem> submenu;

 private:
  void press(HWND popup, WORD key) {
    PostMessageW(popup, WM_KEYDOWN, key, 1);
    PostMessageW(popup, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    Sleep(60);
  }
  // Moves the pointer to the middle of the item and presses and releases the left button,
  // as one input sequence so that nothing else can move the pointer in between.
  void click(HWND popup, HMENU menu) {
    RECT item;
    if (!GetMenuItemRect(popup, menu, static_cast<UINT>(clickItem), &item)) return;
    clickedAt = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dx = static_cast<LONG>((clickedAt.x * 65536 + width / 2) / width);
    input[0].mi.dy = static_cast<LONG>((clickedAt.y * 65536 + height / 2) / height);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
    Sleep(60);
  }
  void run() {
    HWND popup = nullptr;
    for (int i = 0; i < 200 && !popup; ++i) {
      Sleep(25);
      popup = visiblePopup();
    }
    if (!popup) return;
    sawPopup = true;
    RECT r;
    GetWindowRect(popup, &r);
    popupCorner = POINT{r.left, r.top};
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (menu) {
      root = readMenu(menu);
      for (const NativeItem& item : root)
        if (item.submenu) submenu = readMenu(item.submenu);
    }
    HWND owner = GetWindow(popup, GW_OWNER);
    if (menu && clickItem >= 0) click(popup, menu);
    for (WORD key : keys) press(popup, key);
    // Should the keys not end the menu, close it so that the test fails instead of hanging.
    for (int i = 0; i < 10 && visiblePopup(); ++i) {
      Sleep(100);
      if (HWND still = visiblePopup()) press(still, VK_ESCAPE);
    }
    if (visiblePopup() && owner) PostMessageW(owner, WM_CANCELMODE, 0, 0);
  }
  std::vector<WORD> keys;
  int clickItem = -1;
  std::thread worker;

 public:
  POINT clickedAt = {-1, -1};
};

HWND hostWindow() {
  static HWND window = makeHostWindow(40, 60, 420, 320);
  return window;
}

struct PopupMenuTest : ::testing::Test {
  PopupMenuTest() {
    frame = new CFrame(CArea(0, 0, 400, 300), hostWindow(), &editor);
    container = new CViewContainer(CArea(30, 40, 330, 240), nullptr);
    frame->addView(container);
    menu = new COptionMenu(CArea(10, 20, 110, 40), &listener, 3);
    container->addView(menu);
  }
  ~PopupMenuTest() override { delete frame; }

  bool onlyOneChangeInsideTheEdit() const {
    const Log expected{"listener begin", "host begin 3", "changed 3", "host end 3", "listener end"};
    return log == expected;
  }

  Log log;
  controls_test::RecordingEditor editor{log};
  controls_test::RecordingListener listener{log};
  CFrame* frame = nullptr;
  CViewContainer* container = nullptr;
  COptionMenu* menu = nullptr;
};

TEST_F(PopupMenuTest, ChoosingTheSecondInputWithTheKeyboard) {
  menu->addItem("Input 1");
  menu->addItem("Input 2");
  ASSERT_NE(frame->getWindowHandle(), nullptr);
  MenuUser user({VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(frame->onMouseDown(CPos(60, 70), kButtonLeft), kMouseHandledNoTracking);
  user.join();
  ASSERT_TRUE(user.sawPopup);
  // Opened at the control's bottom-left corner: frame window + container + control.
  RECT windowRect;
  GetWindowRect(static_cast<HWND>(frame->getWindowHandle()), &windowRect);
  EXPECT_EQ(user.popupCorner.x, windowRect.left + 30 + 10);
  EXPECT_EQ(user.popupCorner.y, windowRect.top + 40 + 40);
  ASSERT_EQ(user.root.size(), 2u);
  EXPECT_EQ(user.root[1].text, L"Input 2");
  EXPECT_EQ(menu->getValue(), 1.0f);
  EXPECT_TRUE(onlyOneChangeInsideTheEdit()) << ::testing::PrintToString(log);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(menu->getNativeMenu(), nullptr);
}

TEST_F(PopupMenuTest, ChoosingWithAClickAtTheItem) {
  for (const char* title : {"Clean", "Crunch", "Lead"}) menu->addItem(title);
  MenuUser user({}, 2);
  frame->onMouseDown(CPos(60, 70), kButtonLeft);
  user.join();
  ASSERT_TRUE(user.sawPopup);
  EXPECT_GE(user.clickedAt.x, 0);
  EXPECT_EQ(menu->getValue(), 2.0f);
  EXPECT_TRUE(onlyOneChangeInsideTheEdit()) << ::testing::PrintToString(log);
}

TEST_F(PopupMenuTest, EscapeChoosesNothingButEndsTheEdit) {
  menu->addItem("Input 1");
  menu->addItem("Input 2");
  menu->setValue(0.0f);
  MenuUser user({VK_DOWN, VK_ESCAPE});
  frame->onMouseDown(CPos(60, 70), kButtonLeft);
  user.join();
  ASSERT_TRUE(user.sawPopup);
  EXPECT_EQ(menu->getValue(), 0.0f);
  EXPECT_EQ(log, (Log{"listener begin", "host begin 3", "host end 3", "listener end"}));
}

TEST_F(PopupMenuTest, IdentifiersOfSeparatorsSubMenusPrefixesAndColumns) {
  auto* sub = new COptionMenu(CArea(0, 0, 10, 10), nullptr, 11);
  sub->addItem("Sub A");
  sub->addItem("Sub B");
  menu->setStyle(kStyleCheck);
  menu->setNumberPrefix(3);
  menu->setItemsPerColumn(3);
  menu->addItem("Alpha");
  menu->addItem("-");
  menu->addItem("Beta");
  menu->addItem(sub, "More");
  sub->release();
  menu->addItem("Gamma");
  menu->addItem("Delta");
  menu->setItemChecked(4, true);
  menu->setValue(4.0f);
  auto* icon = new CBitmap(nullptr, 12, 12);
  menu->getItem(5)->setIcon(icon);
  icon->release();
  log.clear();

  // Down to "More" (the separator is skipped), enter opens it on "Sub A", down, enter.
  MenuUser user({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN});
  frame->onMouseDown(CPos(60, 70), kButtonLeft);
  user.join();
  ASSERT_TRUE(user.sawPopup);
  ASSERT_EQ(user.root.size(), 6u);
  EXPECT_EQ(user.root[0].id, 0u);
  EXPECT_EQ(user.root[0].text, L"01 Alpha");
  EXPECT_TRUE(user.root[1].type & MFT_SEPARATOR);
  EXPECT_EQ(user.root[2].id, 2u);
  EXPECT_EQ(user.root[2].text, L"03 Beta");
  EXPECT_NE(user.root[3].submenu, nullptr);
  EXPECT_EQ(user.root[3].text, L"04 More");
  EXPECT_TRUE(user.root[3].type & MFT_MENUBARBREAK) << "items per column 3: the fourth item starts a column";
  EXPECT_FALSE(user.root[2].type & MFT_MENUBARBREAK);
  EXPECT_EQ(user.root[4].id, 4u);
  EXPECT_TRUE(user.root[4].state & MFS_CHECKED) << "current and checked";
  EXPECT_EQ(user.root[5].id, 5u);
  EXPECT_FALSE(user.root[5].state & MFS_CHECKED);
  EXPECT_NE(user.root[5].bitmap, nullptr) << "the icon shown beside the item";
  EXPECT_EQ(user.root[4].bitmap, nullptr);
  ASSERT_EQ(user.submenu.size(), 2u);
  EXPECT_EQ(user.submenu[0].id, 6u);  // after the six identifiers of the root
  EXPECT_EQ(user.submenu[1].id, 7u);
  EXPECT_EQ(user.submenu[1].text, L"Sub B");

  EXPECT_EQ(sub->getValue(), 1.0f);
  EXPECT_EQ(menu->getValue(), 4.0f);
  EXPECT_EQ(listener.lastChanged, sub);
  EXPECT_EQ(log, (Log{"listener begin", "host begin 3", "changed 11", "host end 3", "listener end"}));
}

}  // namespace
