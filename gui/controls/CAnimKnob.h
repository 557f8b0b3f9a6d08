// A knob drawn as one frame of a vertical film strip chosen by the value (0 the first
// frame, 1 the last). The editor's knobs and VU-meter needles are these.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CKnob.h"
#include "gui/controls/IMultiBitmapControl.h"

namespace VSTGUI {

class CAnimKnob : public CKnob, public IMultiBitmapControl {
 public:
  CAnimKnob(const CArea& bounds, CControlListener* listener, int32_t tag, int32_t frameCount,
            int32_t frameHeight, CBitmap* strip, CPos drawingOffset = CPos());

  void draw(CDrawContext* context) override;
  // Not dirty while the handle point has not moved by a pixel since the last draw, unless
  // marked dirty explicitly: small value changes cost no repaint.
  bool isDirty() const override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;

  void setFrameHeight(int32_t height) override;
  int32_t getFrameHeight() const override;
  void fitFrameHeightToView() override;

  int32_t getFrameCount() const { return frameCount; }
  void setFrameCount(int32_t count) { frameCount = count; }
  void setInverseBitmap(bool inverse) { inverseBitmap = inverse; }
  bool getInverseBitmap() const { return inverseBitmap; }
  // Vertical offset into the strip of the frame the current value shows.
  int32_t stripOffsetForValue() const;

 protected:
  CAnimKnob(const CAnimKnob& other) = default;

  int32_t frameHeight = 0;
  int32_t frameCount = 0;
  bool inverseBitmap = false;
  CPos lastDrawnPoint;
};

}  // namespace VSTGUI
