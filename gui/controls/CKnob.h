// A rotary control. The value follows the mouse by linear dragging or by the pointer's angle
// around the centre, and reacts to the wheel and the arrow keys; it draws a background
// bitmap and a handle (a line or a small bitmap) at the angle of the value.
// Angles are in radians, counter-clockwise from the positive x axis, y growing upward.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CControl.h"
#include "gui/frame/CRgbaColor.h"

namespace VSTGUI {

class CDrawContext;

// The editor's knob mode (VST 2.4 effSetEditKnobMode), read from the frame at each press:
// linear makes plain drags linear; any other mode makes them circular. Alt swaps the two.
enum : int32_t { kKnobModeCircular = 0, kKnobModeRelativeCircular = 1, kKnobModeLinear = 2 };

class CKnob : public CControl {
 public:
  CKnob(const CArea& bounds, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
        CPos drawingOffset = CPos());
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseUp(CPos where, CButtonState buttons) override;
  CMouseEventResult onMouseMoved(CPos where, CButtonState buttons) override;
  bool onWheel(CPos where, float distance, CButtonState buttons) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;
  void trackMouse(CDrawContext* context, CPos where, CButtonState buttons) override;
  // The coefficients depend on the range and the radius on the width: keep them current.
  void setMin(float newMin) override;
  void setMax(float newMax) override;
  void setBounds(const CArea& area, bool invalidate = true) override;

  virtual void setStartAngle(float angle);
  virtual float getStartAngle() const;
  virtual void setSweepAngle(float angle);
  virtual float getSweepAngle() const;
  // The handle's point for the current value, relative to the top-left corner.
  virtual void handlePointForValue(CPos& out) const;
  // The value for a point relative to the top-left corner; the dead zone's left half gives
  // the minimum and its right half the maximum (for the default clockwise sweep).
  virtual float valueAtPoint(CPos point) const;
  virtual int32_t getInset() const;
  virtual void setInset(int32_t newInset);
  virtual CRgbaColor getHandleShadowColor() const;
  virtual void setHandleShadowColor(const CRgbaColor& color);
  virtual CRgbaColor getHandleColor() const;
  virtual void setHandleColor(const CRgbaColor& color);
  virtual CBitmap* getHandleImage() const;
  virtual void setHandleImage(CBitmap* image);
  virtual void setFineDragFactor(float factor);
  virtual float getFineDragFactor() const;
  virtual void drawHandle(CDrawContext* context);

  const CPos& getDrawingOffset() const { return drawingOffset; }
  bool isLinearDrag() const { return linearMode; }

 protected:
  CKnob(const CKnob& other);
  void computeCoefficients();

  CPos drawingOffset;
  CRgbaColor handleColor{255, 255, 255, 255};
  CRgbaColor handleShadowColor{127, 127, 127, 255};
  CBitmap* handleImage = nullptr;
  int32_t inset = 3;
  float startAngle = 0.0f;
  float sweepAngle = 0.0f;
  float halfGap = 0.0f;
  float aCoef = 0.0f;
  float bCoef = 0.0f;
  float radius = 0.0f;
  float fineDragFactor = 1.5f;
  CPos firstPoint;
  CPos lastPoint;
  float startValue = 0.0f;
  float entryValue = 0.0f;
  float dragLength = 200.0f;
  float coefficient = 0.0f;
  CButtonState oldButtons = 0;
  bool linearMode = false;
};

}  // namespace VSTGUI
