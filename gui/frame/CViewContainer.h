// A view that owns an ordered list of children: draws them in order (later ones on top),
// routes mouse, wheel, key, focus and drag events to the child under the pointer, resizes
// children by their autosize flags and can draw through an off-screen buffer.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/frame/CRgbaColor.h"
#include "gui/frame/CView.h"

namespace VSTGUI {

class COffscreenContext;

class CViewContainer : public CView {
 public:
  CViewContainer(const CArea& bounds, CFrame* frame, CBitmap* background = nullptr);
  ~CViewContainer() override;

  int32_t handleMessage(CBaseObject* sender, const char* message) override;
  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CArea& updateArea) override;
  bool isDirty() const override;
  void invalidateRect(const CArea& area) override;
  void invalidate() override;
  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseUp(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseMoved(CPos where, CButtonState buttons) override;
  bool onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons) override;
  bool onWheel(CPos where, float distance, CButtonState buttons) override;
  bool acceptsDrop(CDragContainer* drag, CPos where) override;
  bool onDrop(CDragContainer* drag, CPos where) override;
  void onDragEnter(CDragContainer* drag, CPos where) override;
  void onDragLeave(CDragContainer* drag, CPos where) override;
  void onDragMove(CDragContainer* drag, CPos where) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;
  void setBounds(const CArea& area, bool invalidate = true) override;
  void parentSizeChanged() override;
  CPos& frameToLocal(CPos& point) const override;
  CPos& localToFrame(CPos& point) const override;
  void focusLost() override;
  void focusGained() override;
  bool detach(CView* parent) override;
  bool attach(CView* parent) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;
  void trackMouse(CDrawContext* context, CPos where, CButtonState buttons) override;

  virtual bool addViewBefore(CView* view, CView* before);
  virtual bool addViewWithHitArea(CView* view, const CArea& hitArea, bool mouseEnabled = true);
  virtual bool addView(CView* view);
  virtual bool removeView(CView* view, bool releaseToo = true);
  virtual bool removeAllViews(bool releaseToo = true);
  virtual bool isChild(CView* view) const;
  virtual int32_t getChildCount() const;
  virtual CView* getChild(int32_t index) const;
  virtual CView* getViewAt(CPos where, bool deep = false) const;
  virtual CViewContainer* getContainerAt(CPos where, bool deep = true);
  virtual void setBackgroundColor(const CRgbaColor& color);
  virtual CRgbaColor getBackgroundColor() const;
  virtual void setBackgroundOffset(CPos offset);
  virtual const CPos& getBackgroundOffset() const;
  virtual void drawBackgroundRect(CDrawContext* context, const CArea& area);
  virtual void setUseOffscreen(bool use);
  virtual bool advanceFocus(CView* oldFocus, bool reverse);
  virtual bool invalidateDirtyViews();
  virtual CArea& getVisibleBoundsOf(CArea& out, const CArea& area);
  virtual CView* getViewUnderMouse();
  virtual bool childNeedsDraw(CView* child, const CArea& area) const;
  virtual bool hitTestChildren(CPos where, CButtonState buttons);

  bool getUseOffscreen() const { return useOffscreen; }
  COffscreenContext* getOffscreenContext() const { return offscreen; }
  CView* getMouseDownView() const { return mouseDownView; }

  // The press routing offers a right-button or modified press on a control to the control's
  // listener before the control sees it. Controls live above this layer, so they install the
  // offer here; it answers non-zero when the listener took the press.
  using ModifierClickOffer = int32_t (*)(CView* control, CButtonState buttons);
  static void setModifierClickOffer(ModifierClickOffer offer);

 protected:
  CViewContainer(const CViewContainer& other);

  CPos& makeLocal(CPos& point) const;
  void createOffscreen();
  void releaseOffscreen();
  bool isFrame() const;
  // The drag routing shared by move and drop: sends leave/enter when the child under the
  // point changes; answers the child under the point.
  CView* switchDropTarget(CDragContainer* drag, CPos local, bool enterNew);

  struct Node {
    CView* view;
    Node* next;
    Node* previous;
  };
  Node* firstNode = nullptr;
  Node* lastNode = nullptr;
  COffscreenContext* offscreen = nullptr;
  CRgbaColor backgroundColor = kBlackCColor;
  CPos backgroundOffset;
  bool useOffscreen = false;
  CView* dropTargetView = nullptr;
  CView* mouseDownView = nullptr;

 private:
  // The topmost visible child whose hit area holds local (container coordinates), or null.
  CView* topChildAt(CPos local) const;
  Node* newNode(CView* view);
  static void deleteNode(Node* node);
};

}  // namespace VSTGUI
