// The root of the view tree and the only toolkit object that owns a native window: a child
// window inside the host's window whose messages become view events. It keeps the modal,
// focus and mouse-over views, hands out draw contexts and drives repainting from the
// editor's idle calls. Every entry point runs on the editor window's thread (the host's GUI
// thread): window messages, the editor's open/close/idle calls and drag-and-drop callbacks.
#pragma once

#include <cstdint>

#include "gui/frame/CViewContainer.h"

namespace VSTGUI {

class CDrawContext;
class CDropTarget;
class COffscreenContext;
class VSTGUIEditorInterface;

enum CCursorType : int32_t {
  kCursorDefault = 0,
  kCursorWait = 1,
  kCursorHSize = 2,
  kCursorVSize = 3,
  kCursorSizeAll = 4,
  kCursorNESWSize = 5,
  kCursorNWSESize = 6,
  kCursorCopy = 7,
  kCursorNotAllowed = 8,
  kCursorHand = 9,
};

class CFrame : public CViewContainer {
 public:
  // parentWindow: the host's HWND, or null for a frame without a window (draws only when asked).
  // scale: the window's pixels per unit of the views' coordinates (the editor's size, 1 for
  // 100 %); the views, their events and their invalidations keep their own units throughout.
  CFrame(const CArea& bounds, void* parentWindow, VSTGUIEditorInterface* editor, float scale = 1.0f);
  ~CFrame() override;

  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CArea& updateArea) override;
  void invalidateRect(const CArea& area) override;
  void invalidate() override;
  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseUp(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseMoved(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseExited(CPos where, CButtonState buttons) override;
  bool onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;
  void setBounds(const CArea& area, bool invalidate = true) override;
  VSTGUIEditorInterface* getEditor() const override;
  bool isTypeOf(const char* className) const override;
  void trackMouse(CDrawContext* context, CPos where, CButtonState buttons) override;
  bool removeView(CView* view, bool releaseToo = true) override;
  bool removeAllViews(bool releaseToo = true) override;
  bool advanceFocus(CView* oldFocus, bool reverse) override;
  CView* getViewUnderMouse() override;

  virtual bool isOpen() const;
  virtual void idle();
  virtual void runEditorIdle();
  virtual uint32_t getTicks() const;
  virtual int32_t getKnobMode() const;
  virtual bool setPosition(int32_t x, int32_t y);
  virtual bool getPosition(int32_t& x, int32_t& y) const;
  virtual bool setSize(int32_t width, int32_t height);
  virtual bool getSize(CArea& out) const;
  virtual bool getSize(CArea* out) const;
  virtual bool setModalView(CView* view);
  virtual CView* getModalView() const;
  virtual void beginEdit(int32_t tag);
  virtual void endEdit(int32_t tag);
  virtual bool getCurrentMouseLocation(CPos& out) const;
  virtual CButtonState getCurrentButtons() const;
  virtual void setCursor(int32_t type);
  virtual void setFocusView(CView* view);
  virtual CView* getFocusView() const;
  virtual void onViewRemoved(CView* view);
  virtual bool setDropActive(bool active);
  virtual bool isDropActive() const;
  virtual void setOpen(bool open);
  virtual bool getOpenFlag() const;
  virtual void markDirtyIn(const CArea& area);
  virtual bool getPointerLocation(CPos& out) const;
  // The window now shows on a screen of another density (dpi dots per inch; 0 when the system
  // did not say: ask the window). Nothing by default.
  virtual void onDpiChanged(uint32_t /*dpi*/) {}

  // A new context on the frame's window (reference count 1); the caller releases it.
  CDrawContext* getDrawContext();
  float getScale() const { return scale; }
  // A point in the window's pixels in the views' units, and the window's size in its pixels.
  CPos toViewUnits(CPos windowPixel) const;
  int32_t getWindowWidth() const;
  int32_t getWindowHeight() const;
  // The frame's own window (HWND), or null.
  void* getWindowHandle() const { return window; }
  CView* getMouseOverView() const { return mouseOverView; }

  // The window procedure's work for one message, after the frame was found (Windows only).
  intptr_t handleWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Whether the calling thread is inside a frame window's message (further up its stack): a
  // frame must not be taken down from there.
  static bool insideWindowMessage();

 private:
  // Tells the view under the mouse, if any, that the mouse left it (where in frame coordinates).
  void leaveMouseOverView(CPos where, CButtonState buttons);
  void createWindow();
  void destroyWindow();
  // Requests a leave notification for the window once per entry.
  void armLeaveTracking();
  // Paints the update region of the window (WM_PAINT).
  void paint();

  VSTGUIEditorInterface* editor = nullptr;
  void* parentWindow = nullptr;
  float scale = 1.0f;
  CView* modalView = nullptr;
  CView* focusView = nullptr;
  CView* mouseOverView = nullptr;
  bool open = true;
  bool dropActive = false;
  void* window = nullptr;
  CDropTarget* dropTarget = nullptr;
  COffscreenContext* backBuffer = nullptr;
  // The part of the back buffer the views have invalidated since it was last drawn (a bounding
  // box); a paint elsewhere only copies the buffer to the window.
  CArea staleArea;
  bool mouseTrackingArmed = false;
  // Wheel travel short of a whole notch (smooth wheels and touchpads send a fraction of 120),
  // kept until it adds up to one.
  int32_t wheelRemainder = 0;
  void* defaultCursor = nullptr;
  bool defaultCursorSaved = false;
};

}  // namespace VSTGUI
