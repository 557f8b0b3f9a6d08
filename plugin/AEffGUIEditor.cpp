#include "plugin/AEffGUIEditor.h"

#include <algorithm>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFrame.h"
#include "plugin/AudioEffectX.h"

namespace {

// Shared by every editor of the process: the host's effSetEditKnobMode on one editor changes
// how the knobs of all of them follow the mouse.
int32_t processKnobMode = 0;

// How long idleWithHost waits before running again within one busy loop.
constexpr uint32_t kIdlePeriod = 50;
constexpr uint32_t kIdleSleep = 4;

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner)
    : AEffEditor(owner), effectX(dynamic_cast<AudioEffectX*>(owner)) {
  if (effect != nullptr) {
    effect->setEditor(this);
  }
  lastTicks = editorplatform::ticks();
  // Not checked: without OLE only drag and drop is missing.
  editorplatform::initialiseOle();
}

AEffGUIEditor::~AEffGUIEditor() {
  editorplatform::releaseOle();
}

bool AEffGUIEditor::getRect(ERect** out) {
  if (out == nullptr) {
    return false;
  }
  *out = &rect;
  return true;
}

void AEffGUIEditor::idle() {
  // Inside the host's answer to audioMasterIdle the frame is left alone: the same frame is
  // already part-way through its own work further up the stack.
  if (!inIdleWithHost && frame != nullptr) {
    frame->idle();
  }
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
  return frame != nullptr && frame->onKeyDown(keyCode) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
  return frame != nullptr && frame->onKeyUp(keyCode) > 0;
}

bool AEffGUIEditor::onWheel(float distance) {
  if (frame == nullptr) {
    return false;
  }
  VSTGUI::CDrawContext* context = frame->getDrawContext();
  if (context == nullptr) {
    return false;
  }
  // The pointer position in frame coordinates, read through the context like every view does.
  VSTGUI::CPos where;
  frame->getMouseLocation(context, where);
  const VSTGUI::CButtonState buttons = frame->getCurrentButtons();
  const bool handled = frame->onWheel(where, distance, buttons);
  context->release();
  return handled;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  processKnobMode = mode;
  return true;
}

int32_t AEffGUIEditor::knobMode() {
  return processKnobMode;
}

int32_t AEffGUIEditor::getKnobMode() const {
  return processKnobMode;
}

void AEffGUIEditor::draw(ERect* area) {
  if (frame == nullptr) {
    return;
  }
  VSTGUI::CArea update = frame->getBounds();
  if (area != nullptr) {
    update = VSTGUI::CArea(std::min(area->left, area->right), std::min(area->top, area->bottom),
                           std::max(area->left, area->right), std::max(area->top, area->bottom));
  }
  VSTGUI::CDrawContext* context = frame->getDrawContext();
  if (context == nullptr) {
    return;
  }
  frame->drawArea(context, update);
  context->release();
}

void AEffGUIEditor::idleWithHost() {
  uint32_t now = editorplatform::ticks();
  if (now < lastTicks) {
    editorplatform::sleepMilliseconds(kIdleSleep);
    now += kIdleSleep;
    // Still before the previous run: the tick counter went back (it wrapped).
    if (now < lastTicks - kIdlePeriod) {
      return;
    }
  }
  idle();
  editorplatform::dispatchOnePendingPaint();
  inIdleWithHost = true;
  lastTicks = now + kIdlePeriod;
  if (effect != nullptr) {
    effect->masterIdle();
  }
  inIdleWithHost = false;
}

void AEffGUIEditor::beginEdit(int32_t index) {
  if (index >= 0 && index < kCountedEdits) {
    ++openEdits[index];
  }
  if (effectX != nullptr) {
    effectX->beginEdit(index);
  }
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (index >= 0 && index < kCountedEdits) {
    if (openEdits[index] == 0) {
      return;
    }
    --openEdits[index];
  }
  if (effectX != nullptr) {
    effectX->endEdit(index);
  }
}

void AEffGUIEditor::close() {
  for (int32_t index = 0; index < kCountedEdits; ++index) {
    while (openEdits[index] > 0) {
      endEdit(index);
    }
  }
  AEffEditor::close();
}

void AEffGUIEditor::forgetOpenEdits() {
  for (int32_t& count : openEdits) {
    count = 0;
  }
}
