// The base of every interactive view: a value with its range and default, a tag that
// identifies the control to its listener, and the edit brackets that reach the host through
// the frame. A redraw is due while the value differs from the value last drawn.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CControlListener.h"
#include "gui/frame/CView.h"

namespace VSTGUI {

class CControl : public CView {
 public:
  CControl(const CArea& bounds, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);

  bool isDirty() const override;
  // true also moves the drawn value away from the value, so the control counts as changed
  // until it is drawn; false records the value as drawn.
  void setDirty(bool dirty = true) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override = 0;

  // Lets the host run (paint, automation) during long mouse handling.
  virtual void runEditorIdle();
  // Plain stores: no clamping, no redraw request.
  virtual void setValue(float newValue);
  virtual float getValue() const;
  virtual void setMin(float newMin);
  virtual float getMin() const;
  virtual void setMax(float newMax);
  virtual float getMax() const;
  virtual void setDrawnValue(float newValue);
  virtual float getDrawnValue() const;
  virtual void setDefaultValue(float newValue);
  virtual float getDefaultValue() const;
  virtual void clampValue();
  // A press of exactly left button + control restores the default value; true when it did.
  virtual bool resetOnControlClick(CButtonState buttons);
  virtual void setTag(int32_t newTag);
  virtual int32_t getTag() const;
  virtual void beginEdit();
  virtual void endEdit();
  virtual CControlListener* getListener() const;
  virtual void setListener(CControlListener* newListener);
  virtual void setBackgroundOffset(CPos offset);
  virtual void useBoundsAsBackgroundOffset();
  virtual void setWheelStep(float step);
  virtual float getWheelStep() const;

  const CPos& getBackgroundOffset() const { return backgroundOffset; }
  int32_t getDoubleClickInterval() const { return doubleClickInterval; }

 protected:
  // The copy clone makes: listener, tag, the value fields and the last click time; the
  // background offset starts at (0, 0).
  CControl(const CControl& other);

  CControlListener* listener = nullptr;
  int32_t tag = 0;
  float drawnValue = 1.0f;
  float defaultValue = 0.5f;
  float value = 0.0f;
  float minValue = 0.0f;
  float maxValue = 1.0f;
  float wheelStep = 0.1f;
  int32_t lastClickTime = -1;  // kept for double-click timing
  int32_t doubleClickInterval = 250;
  CPos backgroundOffset;
};

}  // namespace VSTGUI
