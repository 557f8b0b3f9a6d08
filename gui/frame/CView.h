// A rectangle of the editor window that draws itself and receives mouse, wheel, key, focus
// and drag events. Bounds are in the parent container's coordinates.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/frame/CArea.h"
#include "gui/frame/CBaseObject.h"
#include "gui/frame/CPos.h"
#include "gui/frame/MouseTypes.h"
#include "plugin/VstInterface.h"

namespace VSTGUI {

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class VSTGUIEditorInterface;

// Autosize bits: which edges follow a resize of the parent container.
enum : uint32_t {
  kAutosizeLeft = 0x1,     // left edge stays (with kAutosizeRight: stretch)
  kAutosizeTop = 0x2,      // top edge stays (with kAutosizeBottom: stretch)
  kAutosizeRight = 0x4,    // right edge follows the width change
  kAutosizeBottom = 0x8,   // bottom edge follows the height change
  kAutosizeColumn = 0x10,  // container: share a width change among children laid out in a row
  kAutosizeRow = 0x20,     // container: share a height change among children laid out in a column
};

class CView : public CBaseObject {
 public:
  explicit CView(const CArea& bounds);
  ~CView() override;

  virtual void draw(CDrawContext* context);
  virtual void drawArea(CDrawContext* context, const CArea& updateArea);
  virtual bool overlaps(const CArea& area) const;
  virtual bool isDirty() const;
  virtual void setDirty(bool dirty = true);
  virtual void invalidateRect(const CArea& area);
  virtual void invalidate();
  virtual void setVisible(bool visible);

  virtual CMouseEventResult onMouseDown(CPos where, CButtonState buttons);
  virtual CMouseEventResult onMouseUp(CPos where, CButtonState buttons);
  virtual CMouseEventResult onMouseMoved(CPos where, CButtonState buttons);
  virtual CMouseEventResult onMouseEntered(CPos where, CButtonState buttons);
  virtual CMouseEventResult onMouseExited(CPos where, CButtonState buttons);
  virtual bool hitTest(CPos where, CButtonState buttons);
  virtual bool onWheelAxis(CPos where, CMouseWheelAxis axis, float distance, CButtonState buttons);
  virtual bool onWheel(CPos where, float distance, CButtonState buttons);

  virtual void setMouseEnabled(bool enabled);
  virtual bool isMouseEnabled() const;
  virtual void setHitArea(const CArea& area);
  virtual const CArea& getHitArea() const;
  virtual void getHitArea(CArea& out) const;

  // Whether a drop here would be taken: asked on every drag move, so the system shows the
  // no-drop cursor and a source never moves (deletes) data that nothing kept.
  virtual bool acceptsDrop(CDragContainer* drag, CPos where);
  virtual bool onDrop(CDragContainer* drag, CPos where);
  virtual void onDragEnter(CDragContainer* drag, CPos where);
  virtual void onDragLeave(CDragContainer* drag, CPos where);
  virtual void onDragMove(CDragContainer* drag, CPos where);

  // -1: not handled.
  virtual int32_t onKeyDown(VstKeyCode& key);
  virtual int32_t onKeyUp(VstKeyCode& key);

  virtual void setBounds(const CArea& area, bool invalidate = true);
  virtual const CArea& getBounds() const;
  virtual void getBounds(CArea& out) const;
  virtual void getVisibleBounds(CArea& out);
  virtual void parentSizeChanged();
  virtual CPos& frameToLocal(CPos& point) const;
  virtual CPos& localToFrame(CPos& point) const;
  virtual void setAutosizeFlags(uint32_t flags);
  virtual uint32_t getAutosizeFlags() const;

  virtual void focusLost();
  virtual void focusGained();
  virtual bool wantsFocus() const;
  virtual void setWantsFocus(bool wants);

  virtual void setBackground(CBitmap* bitmap);
  virtual CBitmap* getBackground() const;
  virtual void setTransparency(bool transparent);
  virtual bool getTransparency() const;

  virtual bool detach(CView* parent);
  virtual bool attach(CView* parent);
  virtual VSTGUIEditorInterface* getEditor() const;
  virtual bool isTypeOf(const char* className) const;
  virtual CView* clone() const;
  virtual void trackMouse(CDrawContext* context, CPos where, CButtonState buttons);
  virtual void getMouseLocation(CDrawContext* context, CPos& point);
  virtual void setParentView(CView* parent);
  virtual void setParentFrame(CFrame* frame);
  virtual CPos& toFrameCoordinates(CPos& point) const;

  bool isVisible() const { return visible; }
  bool isAttached() const { return attached; }
  CView* getParentView() const { return parentView; }
  CFrame* getParentFrame() const { return parentFrame; }

  // Tagged byte blobs kept with the view and copied by clone. A size of 0 or less stores no data.
  bool setAttribute(int32_t id, int32_t size, const void* data);
  // Size of the attribute's data, or -1 when the id is unknown.
  int32_t getAttributeSize(int32_t id) const;
  // Copies at most bufferSize bytes; false when the id is unknown or the buffer is too small.
  bool getAttribute(int32_t id, int32_t bufferSize, void* buffer, int32_t* outSize = nullptr) const;
  bool removeAttribute(int32_t id);

 protected:
  // The copy that clone makes: geometry, flags, background (retained) and attributes; the
  // copy starts clean, detached and visible.
  CView(const CView& other);

  CArea bounds;
  CArea hitArea;
  CFrame* parentFrame = nullptr;
  CView* parentView = nullptr;
  bool dirty = false;
  bool mouseEnabled = true;
  bool transparency = false;
  bool wantsFocusFlag = false;
  bool attached = false;
  bool visible = true;
  uint32_t autosizeFlags = 0;
  CBitmap* background = nullptr;

 private:
  struct Attribute {
    Attribute* next = nullptr;
    unsigned char* data = nullptr;
    int32_t size = 0;
    int32_t id = 0;
  };
  void freeAttributes();
  Attribute* findAttribute(int32_t id) const;

  Attribute* attributes = nullptr;
};

}  // namespace VSTGUI
