// A frame in a real parent window, fed real window messages through USER32.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/VSTGUIEditorInterface.h"
#include "tests/support/HostWindow.h"
#include "tests/support/SpyView.h"

using namespace VSTGUI;
using guiframe_test::SpyView;

namespace {

struct EditorSpy : VSTGUIEditorInterface {
  void idleWithHost() override { ++idles; }
  int32_t getKnobMode() const override { return 2; }
  void beginEdit(int32_t index) override { begun = index; }
  void endEdit(int32_t index) override { ended = index; }
  int idles = 0;
  int32_t begun = -1;
  int32_t ended = -1;
};

// Paints itself red and counts its paints.
struct PaintedView : SpyView {
  using SpyView::SpyView;
  void draw(CDrawContext* context) override {
    ++draws;
    context->setFillColor(kRedCColor);
    context->drawRect(bounds, kDrawFilled);
    setDirty(false);
  }
  int draws = 0;
};

HWND createParentWindow() {
  return makeHostWindow(50, 50, 420, 320);
}

void pumpMessages() {
  MSG msg;
  for (int i = 0; i < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LPARAM at(int x, int y) {
  return MAKELPARAM(x, y);
}

// One host window for all tests: Wine takes about two seconds to map and unmap a top-level
// window on the virtual display.
HWND sharedParent() {
  static HWND window = createParentWindow();
  if (!IsWindow(window)) window = createParentWindow();
  return window;
}

struct FrameWindowTest : ::testing::Test {
  FrameWindowTest() {
    parent = sharedParent();
    frame = new CFrame(CArea(0, 0, 300, 200), parent, &editor);
    hwnd = static_cast<HWND>(frame->getWindowHandle());
  }
  ~FrameWindowTest() override { delete frame; }
  HWND parent = nullptr;
  EditorSpy editor;
  CFrame* frame = nullptr;
  HWND hwnd = nullptr;
};

TEST_F(FrameWindowTest, ChildWindowOfOurClassInTheParent) {
  const LONG kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetParent(hwnd), parent);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  EXPECT_EQ(std::wstring(name).rfind(L"Plugin", 0), 0u);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(frame));
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & kChildStyle, kChildStyle);
  RECT r;
  GetClientRect(hwnd, &r);
  EXPECT_EQ(r.right, 300);
  EXPECT_EQ(r.bottom, 200);
  EXPECT_TRUE(frame->isDropActive());
  EXPECT_TRUE(frame->isOpen());
}

TEST_F(FrameWindowTest, ButtonsRouteToViewsAndCaptureThePointer) {
  auto* view = new SpyView(CArea(10, 20, 110, 120));
  frame->addView(view);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(15, 30));
  EXPECT_EQ(view->joined(), "down");
  EXPECT_EQ(view->last, CPos(15, 30));
  EXPECT_EQ(view->lastButtons & kButtonLeft, kButtonLeft);
  EXPECT_EQ(GetCapture(), hwnd);
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, at(500, 40));
  EXPECT_EQ(view->last, CPos(500, 40));
  EXPECT_EQ(view->lastButtons, kButtonLeft | kModShift);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(16, 31));
  EXPECT_EQ(view->joined(), "down,move,up");
  EXPECT_EQ(GetCapture(), nullptr);

  // A double click arrives as a press with the double-click bit; its release is plain.
  SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at(15, 30));
  EXPECT_EQ(view->lastButtons, kButtonLeft | kDoubleClick);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(15, 30));
  EXPECT_EQ(view->lastButtons & kDoubleClick, 0u);

  SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, at(15, 30));
  EXPECT_EQ(view->lastButtons, kButtonRight | kModControl);
  SendMessageW(hwnd, WM_RBUTTONUP, 0, at(15, 30));

  // Posted messages take the same way through the queue.
  view->log.clear();
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 40));
  PostMessageW(hwnd, WM_LBUTTONUP, 0, at(20, 40));
  pumpMessages();
  EXPECT_EQ(view->joined(), "down,up");
}

TEST_F(FrameWindowTest, HandledWithoutTrackingTakesNoCapture) {
  auto* view = new SpyView(CArea(0, 0, 50, 50), kMouseHandledNoTracking);
  frame->addView(view);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(6, 6));
  EXPECT_EQ(view->joined(), "down,enter");  // no tracking: the move only enters it
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(6, 6));
}

// Smooth wheels and touchpads send fractions of a notch: they add up to whole notches, and a
// turn the other way starts afresh.
TEST_F(FrameWindowTest, WheelFractionsAddUpToWholeNotchesAtTheScreenPoint) {
  auto* view = new SpyView(CArea(100, 50, 200, 150));
  frame->addView(view);
  RECT r;
  GetWindowRect(hwnd, &r);
  const LPARAM screen = MAKELPARAM(r.left + 120, r.top + 60);
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), screen);
  EXPECT_EQ(view->joined(), "");
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 90), screen);
  EXPECT_EQ(view->joined(), "wheel");
  EXPECT_EQ(view->wheel, 1.0f);
  EXPECT_EQ(view->last, CPos(120, 60));
  // 30 left over; the turn back drops it, so -240 is two notches down, not one and 3/4.
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), screen);
  EXPECT_EQ(view->wheel, -2.0f);
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(r.left + 5, r.top + 5));
  EXPECT_EQ(view->wheel, -2.0f);  // outside the view: nobody gets it
}

TEST_F(FrameWindowTest, LeaveMessageExitsTheMouseOverView) {
  auto* view = new SpyView(CArea(0, 0, 100, 100));
  frame->addView(view);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at(10, 10));
  EXPECT_EQ(frame->getMouseOverView(), view);
  SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(view->joined(), "enter,exit");
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
}

TEST_F(FrameWindowTest, PaintMessagesDrawDirtyViewsIntoTheWindow) {
  auto* view = new PaintedView(CArea(10, 10, 60, 60));
  frame->addView(view);
  UpdateWindow(hwnd);
  const int first = view->draws;
  EXPECT_GE(first, 1);
  UpdateWindow(hwnd);
  EXPECT_EQ(view->draws, first);  // nothing invalid, nothing drawn
  view->setDirty(true);
  frame->idle();  // dirty views become invalid window areas
  UpdateWindow(hwnd);
  EXPECT_EQ(view->draws, first + 1);
  HDC dc = GetDC(hwnd);
  const COLORREF inside = GetPixel(dc, 30, 30);
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(inside, RGB(255, 0, 0));
  // A paint outside the view leaves it alone.
  RECT elsewhere = {200, 150, 250, 190};
  InvalidateRect(hwnd, &elsewhere, FALSE);
  UpdateWindow(hwnd);
  EXPECT_EQ(view->draws, first + 1);
  // The window uncovered over the view (the system's invalidation, not the view's): the kept
  // picture is copied back, nothing is drawn again.
  RECT over = {0, 0, 100, 100};
  InvalidateRect(hwnd, &over, FALSE);
  UpdateWindow(hwnd);
  EXPECT_EQ(view->draws, first + 1);
  dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 30, 30), RGB(255, 0, 0));
  ReleaseDC(hwnd, dc);
}

TEST_F(FrameWindowTest, ModalViewBlocksPressesBehindIt) {
  auto* behind = new SpyView(CArea(0, 0, 300, 200));
  frame->addView(behind);
  auto* modal = new SpyView(CArea(100, 50, 200, 150));
  ASSERT_TRUE(frame->setModalView(modal));
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 10));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(10, 10));
  EXPECT_TRUE(behind->log.empty());
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(150, 100));
  EXPECT_EQ(GetCapture(), hwnd);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(150, 100));
  EXPECT_EQ(modal->joined(), "down,up");
  frame->setModalView(nullptr);
  modal->release();
}

TEST_F(FrameWindowTest, TabMovesFocusAndEditorCallsAreForwarded) {
  auto* a = new SpyView(CArea(0, 0, 10, 10));
  auto* b = new SpyView(CArea(20, 0, 30, 10));
  a->setWantsFocus(true);
  b->setWantsFocus(true);
  frame->addView(a);
  frame->addView(b);
  VstKeyCode tab{0, kVirtualKeyTab, 0};
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), b);
  EXPECT_EQ(frame->getKnobMode(), 2);
  frame->beginEdit(3);
  frame->endEdit(4);
  frame->runEditorIdle();
  EXPECT_EQ(editor.begun, 3);
  EXPECT_EQ(editor.ended, 4);
  EXPECT_EQ(editor.idles, 1);
  EXPECT_EQ(frame->getEditor(), &editor);
}

TEST_F(FrameWindowTest, CursorTypesAndDefaultRestore) {
  HCURSOR before = GetCursor();
  frame->setCursor(kCursorHand);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  frame->setCursor(kCursorCopy);  // type 7 shows the default
  EXPECT_EQ(GetCursor(), before);
}

TEST_F(FrameWindowTest, PositionAndPointerAreRelativeToTheHost) {
  int32_t x = -1, y = -1;
  ASSERT_TRUE(frame->getPosition(x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  RECT r;
  GetWindowRect(hwnd, &r);
  if (SetCursorPos(r.left + 33, r.top + 44)) {
    CPos where;
    frame->getCurrentMouseLocation(where);
    EXPECT_EQ(where, CPos(33, 44));
    CDrawContext* context = frame->getDrawContext();
    CPos pointer;
    context->getPointerPosition(pointer);
    EXPECT_EQ(pointer, CPos(33, 44));
    context->release();
  }
}

TEST_F(FrameWindowTest, DestroyMessageClosesTheFrame) {
  DestroyWindow(parent);  // takes the child window with it
  EXPECT_FALSE(frame->isOpen());
  EXPECT_FALSE(frame->setSize(10, 10));
  parent = nullptr;
}

TEST(FrameWithoutParent, HasNoWindowAndRefusesDropRegistration) {
  CFrame* frame = new CFrame(CArea(0, 0, 10, 10), nullptr, nullptr);
  EXPECT_EQ(frame->getWindowHandle(), nullptr);
  EXPECT_FALSE(frame->setDropActive(true));
  EXPECT_TRUE(frame->setDropActive(false));
  delete frame;
}

}  // namespace
