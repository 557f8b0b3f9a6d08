#include "gui/controls/PopupMenuTracker.h"

#include "gui/controls/ControlsPlatform.h"

namespace VSTGUI {

namespace {
PopupMenuTracker* installedTracker = nullptr;
}

PopupMenuTracker& PopupMenuTracker::current() {
  return installedTracker ? *installedTracker : platformPopupMenuTracker();
}

void PopupMenuTracker::install(PopupMenuTracker* tracker) {
  installedTracker = tracker;
}

}  // namespace VSTGUI
