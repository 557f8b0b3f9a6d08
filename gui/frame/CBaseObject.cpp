#include "gui/frame/CBaseObject.h"

namespace VSTGUI {

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";
const char kMsgLooseFocus[] = "LooseFocus";
const char kMsgNewFocusView[] = "kMsgNewFocusView";
const char kMsgOldFocusView[] = "kMsgOldFocusView";

void CBaseObject::release() {
  if (referenceCount-- == 1) delete this;
}

void CBaseObject::retain() {
  ++referenceCount;
}

int32_t CBaseObject::handleMessage(CBaseObject* /*sender*/, const char* /*message*/) {
  return 0;
}

}  // namespace VSTGUI
