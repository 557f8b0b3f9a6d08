// A two-state switch drawn from one bitmap holding both states stacked vertically: the upper
// half shows off, the lower half on. Each left click toggles it. The style chooses whether
// the listener hears of the click before (1) or after (0) the editor's idle processing.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CControl.h"

namespace VSTGUI {

enum : int32_t { kPreListenerUpdate = 0, kPostListenerUpdate = 1 };

class COnOffButton : public CControl {
 public:
  COnOffButton(const CArea& bounds, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t style = kPreListenerUpdate);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;
  void trackMouse(CDrawContext* context, CPos where, CButtonState buttons) override;

  virtual int32_t getStyle() const;
  virtual void setStyle(int32_t newStyle);

 protected:
  COnOffButton(const COnOffButton& other) = default;
  // Flips the value between 0 and 1 and reports the change in the style's order.
  void toggle(bool invalidateNow);

  int32_t style = kPreListenerUpdate;
};

}  // namespace VSTGUI
