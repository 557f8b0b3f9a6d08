// The controls' platform layer in builds without a window system: no pop-up can be shown,
// so a menu's pop-up ends without a choice (the edit is still begun and ended).
#include "gui/controls/ControlsPlatform.h"
#include "gui/controls/PopupMenuTracker.h"

namespace VSTGUI {

namespace {
class HeadlessPopupMenuTracker : public PopupMenuTracker {
 public:
  int32_t track(COptionMenu&, CFrame&, CPos, bool) override { return -1; }
};
}  // namespace

int32_t systemDoubleClickTime() {
  return 500;  // the usual desktop default
}

PopupMenuTracker& platformPopupMenuTracker() {
  static HeadlessPopupMenuTracker tracker;
  return tracker;
}

}  // namespace VSTGUI
