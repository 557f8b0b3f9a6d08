#include "editor/ControlsguiEditor.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

#include "cab/CabinetChoice.h"
#include "editor/ControlsguiEditorLayout.h"
#include "editor/ControlsguiFrame.h"
#include "editor/ControlsguiKnob.h"
#include "editor/ResponseFileDialog.h"
#include "editor/ScreenDpi.h"
#include "effect/Controlsgui.h"
#include "effect/StateChunk.h"
#include "gui/controls/CAnimKnob.h"
#include "gui/controls/COnOffButton.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CTextLabel.h"
#include "gui/controls/PopupMenuTracker.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CDrawContext.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/CScaledBitmap.h"
#include "model/ParameterMapping.h"

using namespace VSTGUI;
using editorlayout::StripKind;

namespace {

// The menus' parameters are consecutive, from the input transformer to the output tap.
constexpr int32_t kFirstMenuTag = kParamInputTransformer;
constexpr int32_t kLastMenuTag = kParamOutputTap;
// A menu keeps its entry index as a small parameter value: entry 1 is 0.01.
constexpr float kMenuStep = 0.01f;

float clampUnit(float value) {
  return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// What a switch shows for a parameter value: the state the amplifier applies (entry 1 of a menu,
// the power switch's on picture when it is in).
float shownSwitchState(int32_t tag, float value) {
  return switchIsOn(tag, value) ? 1.0f : 0.0f;
}

}  // namespace

// No picture is decoded here: a project creates many instances and opens few of their windows.
ControlsguiEditor::ControlsguiEditor(Controlsgui* effect) : AEffGUIEditor(effect), controlsgui(effect) {
  setRectFor(wantedSize(nullptr));
  setKnobMode(kKnobModeLinear);
}

int32_t ControlsguiEditor::wantedSize(void* window) const {
  const uint32_t chosen = controlsgui->getEditorScale();
  return chosen != StateChunk::kScreenEditorScale ? editorlayout::offeredSize(chosen)
                                                  : editorlayout::sizeForDpi(screendpi::forWindow(window));
}

// The face's size in the window's pixels, rounded as the frame rounds it.
void ControlsguiEditor::setRectFor(int32_t percent) {
  sizePercent = percent;
  const float scale = static_cast<float>(percent) / 100.0f;
  rect.top = 0;
  rect.left = 0;
  rect.bottom = static_cast<int16_t>(CDrawContext::deviceEdge(editorlayout::kFaceHeight, scale));
  rect.right = static_cast<int16_t>(CDrawContext::deviceEdge(editorlayout::kFaceWidth, scale));
}

bool ControlsguiEditor::getRect(ERect** out) {
  // A project restored since may have brought another size.
  if (frame == nullptr) setRectFor(wantedSize(nullptr));
  return AEffGUIEditor::getRect(out);
}

void ControlsguiEditor::idleWithHost() {
  const bool outer = insideFrameIdle;
  insideFrameIdle = true;
  AEffGUIEditor::idleWithHost();
  insideFrameIdle = outer;
}

void ControlsguiEditor::chooseSize(int32_t percent) {
  controlsgui->setEditorScale(static_cast<uint32_t>(percent));
  pendingSize = percent;
}

// The sizes on a pop-up at the pointer, the one in force marked.
void ControlsguiEditor::showSizeMenu(CPos where) {
  if (frame == nullptr) return;
  COptionMenu* menu = new (std::nothrow)
      COptionMenu(CArea(where.x, where.y, where.x, where.y), nullptr, -1, nullptr, nullptr, kStyleCheck);
  if (menu == nullptr) return;
  for (int32_t k = 0; k < editorlayout::kSizeCount; ++k) {
    menu->addItem(editorlayout::kSizeEntries[k], -1, kItemChecked);
    if (editorlayout::kSizes[k] == sizePercent) menu->setCurrentIndex(k);
  }
  const int32_t chosen = PopupMenuTracker::current().track(*menu, *frame, where, true);
  menu->release();
  if (chosen >= 0 && chosen < editorlayout::kSizeCount) chooseSize(editorlayout::kSizes[chosen]);
}

// The window went to a screen of another density: a size the player never chose becomes the
// new screen's; one the player chose stays.
void ControlsguiEditor::followScreen(uint32_t dpi) {
  if (frame == nullptr || controlsgui->getEditorScale() != StateChunk::kScreenEditorScale) return;
  pendingSize = editorlayout::sizeForDpi(dpi != 0 ? dpi : screendpi::forWindow(frame->getWindowHandle()));
}

void ControlsguiEditor::applyPendingSize() {
  if (pendingSize == 0 || frame == nullptr || insideFrameIdle || inIdleWithHost ||
      CFrame::insideWindowMessage())
    return;
  const int32_t wanted = pendingSize;
  pendingSize = 0;
  if (wanted == sizePercent) return;
  const float scale = static_cast<float>(wanted) / 100.0f;
  // A host that cannot resize its window keeps the editor at its size, still usable.
  if (!controlsgui->sizeWindow(CDrawContext::deviceEdge(editorlayout::kFaceWidth, scale),
                               CDrawContext::deviceEdge(editorlayout::kFaceHeight, scale)))
    return;
  void* parent = systemWindow;
  close();
  releasePictures();
  setRectFor(wanted);
  open(parent);
}

void ControlsguiEditor::releasePictures() {
  for (Picture& p : pictures) {
    if (p.bitmap != nullptr) p.bitmap->release();
    p = Picture();
  }
  background = nullptr;
}

ControlsguiEditor::~ControlsguiEditor() {
  // A host may destroy the effect with the window still open. The effect is part-destroyed
  // by now (it deletes its editor last), so no edit is ended through it.
  forgetOpenEdits();
  close();
  releasePictures();
}

// Decoded on the first open and kept until the editor goes: decoding the film strips is most of
// what an open costs.
CBitmap* ControlsguiEditor::picture(int32_t resource) {
  for (Picture& p : pictures) {
    if (p.bitmap != nullptr && p.resource == resource) {
      return p.bitmap;
    }
    if (p.bitmap == nullptr) {
      p.resource = resource;
      if (sizePercent == 100) {
        p.bitmap = new (std::nothrow) CBitmap(CResourceRef(resource));
        return p.bitmap;
      }
      for (const editorlayout::PictureGeometry& g : editorlayout::kPictures) {
        if (g.resource != resource) continue;
        CScaledBitmap::Source source;
        source.resource = resource;
        source.width = g.width;
        source.height = g.frameHeight * g.frames;
        source.frameCount = g.frames;
        source.firstDoublePart = KORVALITE_RES_2X_PART(resource, 0);
        source.framesPerDoublePart = KORVALITE_RES_2X_FRAMES_PER_PART;
        p.bitmap = new (std::nothrow) CScaledBitmap(source, static_cast<float>(sizePercent) / 100.0f);
      }
      return p.bitmap;
    }
  }
  return nullptr;
}

bool ControlsguiEditor::open(void* parentWindow) {
  AEffGUIEditor::open(parentWindow);
  windowThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  // A second open without a close would otherwise leave the first frame behind.
  if (frame != nullptr) {
    close();
    AEffGUIEditor::open(parentWindow);
  }
  background = picture(KORVALITE_RES_BACKGROUND);
  ControlsguiFrame::Handlers handlers;
  // A file dropped anywhere on the face becomes the cabinet's response.
  handlers.fileDropped = [this](const std::string& path) { loadResponseFile(path); };
  handlers.backgroundRightClicked = [this](CPos where) { showSizeMenu(where); };
  handlers.dpiChanged = [this](uint32_t dpi) { followScreen(dpi); };
  CFrame* built = nullptr;
  {
    // The window draws its own pixels at its size: the system must not stretch them again.
    screendpi::PerMonitorAwareness awareness;
    built = new (std::nothrow)
        ControlsguiFrame(CArea(0, 0, editorlayout::kFaceWidth, editorlayout::kFaceHeight), parentWindow, this,
                         std::move(handlers), static_cast<float>(sizePercent) / 100.0f);
  }
  if (built == nullptr) {
    return false;
  }
  built->setBackground(background);

  infoLabel = new (std::nothrow) CTextLabel(editorlayout::kInfoLabelBounds, infoText, nullptr, 0);
  if (infoLabel != nullptr) {
    infoLabel->setFont(fontText12);
    infoLabel->setTextColor(editorlayout::kInfoTextColor);
    infoLabel->setBackgroundColor(editorlayout::kInfoGround);
    infoLabel->setOutlineColor(editorlayout::kInfoGround);
    infoLabel->setTextAlignment(kAlignLeft);
  }
  buildStripControls(built);
  buildMenus(built);
  buildCabinet(built);
  // Only now does the editor count as open: until here setParameter and idle leave the
  // half-built frame alone. The controls were built from the current values.
  pendingParameters.store(0, std::memory_order_relaxed);
  frame = built;
  // The host sized its window before it opened this one: a size chosen in a project restored
  // since, or a screen of another density than the system's, is asked for at the next idle.
  const int32_t wanted = wantedSize(parentWindow);
  pendingSize = wanted != sizePercent ? wanted : 0;
  return true;
}

// Film-strip controls, each retaining its picture. A picture that cannot be read still gives a
// control in its place, drawn as nothing, so the layout and parameters keep working.
void ControlsguiEditor::buildStripControls(CFrame* built) {
  for (const editorlayout::StripControl& c : editorlayout::kStripControls) {
    CBitmap* strip = picture(c.resource);
    const bool loaded = strip != nullptr && strip->isLoaded();
    const int32_t width = loaded ? strip->getWidth() : c.stripWidth;
    const int32_t frameHeight = loaded ? strip->getHeight() / c.frameCount : c.frameHeight;
    const CArea bounds(c.x, c.y, c.x + width, c.y + frameHeight);
    // A meter starts from the level playing now, not from a stored value it would sink from.
    float value = c.kind == StripKind::kMeter ? liveMeterLevel(c.tag) : controlsgui->getParameter(c.tag);
    if (c.kind == StripKind::kPowerSwitch) {
      value = shownSwitchState(c.tag, value);
    }

    CControl* control = nullptr;
    if (c.kind == StripKind::kPowerSwitch) {
      powerSwitch = new (std::nothrow) COnOffButton(bounds, this, c.tag, strip, kPreListenerUpdate);
      control = powerSwitch;
      if (powerSwitch != nullptr) {
        powerSwitch->setHitArea(editorlayout::kPowerLeverArea);
      }
    } else {
      CAnimKnob* knob = nullptr;
      if (c.kind == StripKind::kMeter) {
        knob = new (std::nothrow)
            CAnimKnob(bounds, this, c.tag, c.frameCount, frameHeight, strip, bounds.getTopLeft());
        // Tab passes the meters by: the arrow keys have nothing to set there.
        if (knob != nullptr) {
          knob->setWantsFocus(false);
        }
        meters[c.tag - kParamMeter1] = knob;
      } else {
        knob = new (std::nothrow)
            ControlsguiKnob(bounds, this, c.tag, c.frameCount, frameHeight, strip, bounds.getTopLeft());
        knobs[c.tag] = knob;
      }
      control = knob;
    }
    if (control != nullptr) {
      // Control-click returns a control to its parameter's own default, not the middle.
      control->setDefaultValue(kDefaultParameterValues[c.tag]);
      control->setValue(value);
      built->addView(control);
    }
  }
}

void ControlsguiEditor::buildMenus(CFrame* built) {
  for (const editorlayout::MenuControl& m : editorlayout::kMenus) {
    // Checked items with the check style: the pop-up marks the entry in force.
    COptionMenu* menu =
        new (std::nothrow) COptionMenu(m.bounds, this, m.tag, nullptr, nullptr, kStyle3DIn | kStyleCheck);
    menus[m.tag - kFirstMenuTag] = menu;
    if (menu == nullptr) {
      continue;
    }
    menu->setFont(fontText14);
    menu->setTextColor(m.textColor);
    menu->setBackgroundColor(editorlayout::kMenuGround);
    menu->setOutlineColor(editorlayout::kMenuGround);
    menu->setTextAlignment(kAlignCenter);
    menu->setTextAntialias(true);
    for (int32_t entry = 0; entry < editorlayout::kMaxMenuEntries && m.entries[entry] != nullptr; ++entry) {
      menu->addItem(m.entries[entry], entry, kItemChecked);
    }
    menu->setValue(shownSwitchState(m.tag, controlsgui->getParameter(m.tag)));
    built->addView(menu);
  }
}

// The cabinet's menu in the style of the output tap's, and the message line under the plates.
void ControlsguiEditor::buildCabinet(CFrame* built) {
  cabMenu = new (std::nothrow)
      COptionMenu(editorlayout::kCabMenuBounds, this, kParamCab, nullptr, nullptr, kStyle3DIn | kStyleCheck);
  if (cabMenu != nullptr) {
    cabMenu->setFont(fontText14);
    cabMenu->setTextColor(editorlayout::kCabTextColor);
    cabMenu->setBackgroundColor(editorlayout::kMenuGround);
    cabMenu->setOutlineColor(editorlayout::kMenuGround);
    cabMenu->setTextAlignment(kAlignCenter);
    cabMenu->setTextAntialias(true);
    for (const char* entry : editorlayout::kCabEntries) cabMenu->addItem(entry, -1, kItemChecked);
    cabMenu->addItem(editorlayout::kCabUserNone, -1, kItemChecked);
    cabMenu->addSeparatorItem();
    cabMenu->addItem(editorlayout::kCabLoadEntry);
    shownResponseChanges = controlsgui->getUserResponseChanges();
    showUserResponseName();
    cabMenu->setValue(static_cast<float>(CabinetChoice::fromValue(controlsgui->getParameter(kParamCab))));
    built->addView(cabMenu);
  }
  cabMessage =
      new (std::nothrow) CTextLabel(editorlayout::kCabMessageBounds, cabMessageText.c_str(), nullptr, 0);
  if (cabMessage != nullptr) {
    cabMessage->setFont(fontText11);
    cabMessage->setTextColor(editorlayout::kCabMessageColor);
    cabMessage->setBackgroundColor(editorlayout::kMenuGround);
    cabMessage->setOutlineColor(editorlayout::kMenuGround);
    cabMessage->setTextAlignment(kAlignLeft);
    cabMessage->setTextAntialias(true);
    // The line shows only: a click or a drop there is the face's.
    cabMessage->setMouseEnabled(false);
    built->addView(cabMessage);
  }
}

// The User entry carries the name of the file playing there (the start of a long one).
void ControlsguiEditor::showUserResponseName() {
  if (cabMenu == nullptr) return;
  const std::string name = controlsgui->getUserResponseName();
  std::string title;
  if (name.empty()) {
    title = editorlayout::kCabUserNone;
  } else {
    size_t shown = name.size();
    if (shown > editorlayout::kCabNameShown) {
      shown = editorlayout::kCabNameShown;
      while (shown > 0 && (static_cast<uint8_t>(name[shown]) & 0xC0) == 0x80) --shown;  // a character's start
    }
    title = editorlayout::kCabUserPrefix + name.substr(0, shown) + (shown < name.size() ? "..." : "");
  }
  if (CMenuItem* item = cabMenu->getItem(editorlayout::kCabUserEntry)) {
    item->setTitle(title.c_str());
    cabMenu->setDirty(true);
  }
}

void ControlsguiEditor::showCabinetMessage(const std::string& text) {
  cabMessageText = text;
  if (cabMessage != nullptr) {
    cabMessage->setText(cabMessageText.c_str());
    cabMessage->setDirty(true);
  }
}

void ControlsguiEditor::loadResponseFile(const std::string& utf8Path) {
  showCabinetMessage("Loading " + utf8Path.substr(utf8Path.find_last_of("/\\") + 1) + "...");
  controlsgui->loadUserFile(utf8Path.c_str());
}

void ControlsguiEditor::chooseResponseFile() {
  std::string path;
  if (ResponseFileDialog::choose(frame != nullptr ? frame->getWindowHandle() : nullptr, path)) {
    loadResponseFile(path);
  }
}

// A file loaded: the cabinet moves to User, as the player expects of a file just chosen, through
// the one parameter path, so the host records it. A refused file leaves the cabinet as it was.
void ControlsguiEditor::collectFileOutcome() {
  ResponseFileOutcome outcome;
  if (!controlsgui->takeUserFileOutcome(outcome)) return;
  showCabinetMessage(outcome.message);
  if (outcome.loaded) {
    controlsgui->beginEdit(kParamCab);
    controlsgui->setParameterAutomated(kParamCab, CabinetChoice::toValue(CabinetChoice::kUser));
    controlsgui->endEdit(kParamCab);
  }
}

void ControlsguiEditor::close() {
  if (frame != nullptr) {
    // Releasing the frame destroys its window and releases every view added to it.
    CFrame* closing = frame;
    frame = nullptr;
    closing->release();
  }
  // The information label was never added to the frame: it is ours to release.
  if (infoLabel != nullptr) {
    infoLabel->release();
  }
  infoLabel = nullptr;
  for (CAnimKnob*& knob : knobs) knob = nullptr;
  for (CAnimKnob*& meter : meters) meter = nullptr;
  for (COptionMenu*& menu : menus) menu = nullptr;
  powerSwitch = nullptr;
  cabMenu = nullptr;
  cabMessage = nullptr;
  AEffGUIEditor::close();
}

void ControlsguiEditor::idle() {
  applyPendingSize();
  if (frame != nullptr) {
    // Changes other threads made since the last idle, drawn by the frame's idle below.
    uint32_t pending = pendingParameters.exchange(0, std::memory_order_relaxed);
    for (VstInt32 index = 0; pending != 0; ++index, pending >>= 1) {
      if ((pending & 1u) != 0) {
        showParameter(index);
      }
    }
    // A response that arrived from a file or with a project.
    const uint32_t changes = controlsgui->getUserResponseChanges();
    if (changes != shownResponseChanges) {
      shownResponseChanges = changes;
      showUserResponseName();
    }
  }
  collectFileOutcome();
  AEffGUIEditor::idle();
  if (frame == nullptr) {
    return;
  }
  const uint32_t now = frame->getTicks();
  // Unsigned difference: right across the tick counter's wrap.
  const uint32_t elapsed = now - lastMeterTime;
  if (elapsed <= editorlayout::kMeterPeriodMs) {
    return;
  }
  moveMeter(meters[0], controlsgui->getMeterLevel1(), static_cast<float>(elapsed));
  moveMeter(meters[1], controlsgui->getMeterLevel2(), static_cast<float>(elapsed));
  lastMeterTime = now;
}

float ControlsguiEditor::liveMeterLevel(int32_t tag) const {
  const Relaxed<float>* level =
      tag == kParamMeter1 ? controlsgui->getMeterLevel1() : controlsgui->getMeterLevel2();
  const float read = level != nullptr ? static_cast<float>(*level) : 0.0f;
  return std::isfinite(read) ? clampUnit(read) : 0.0f;
}

void ControlsguiEditor::moveMeter(CAnimKnob* meter, const Relaxed<float>* level, float elapsedMs) {
  if (meter == nullptr || level == nullptr) {
    return;
  }
  float target = *level;  // one read of the float the audio thread writes
  if (!std::isfinite(target)) {
    target = 0.0f;
  }
  const float current = meter->getValue();
  float next = target;
  if (target <= current) {
    const float fall = elapsedMs * editorlayout::kMeterFallPerMs;
    next = current - (fall < current - target ? fall : current - target);
  }
  // Redrawn only when the needle reaches another frame of its strip: a still or slowly sinking
  // needle costs no paint.
  const bool pending = meter->isDirty();
  const int32_t shown = meter->stripOffsetForValue();
  meter->setValue(clampUnit(next));
  meter->setDirty(pending || meter->stripOffsetForValue() != shown);
}

void ControlsguiEditor::setParameter(VstInt32 index, float /*value*/) {
  if (index < 0 || index >= kNumParams) {
    return;
  }
  if (std::this_thread::get_id() != windowThread.load(std::memory_order_relaxed)) {
    // Not the window's thread: the window may be closing right now, its controls going.
    pendingParameters.fetch_or(1u << index, std::memory_order_relaxed);
    return;
  }
  showParameter(index);
}

void ControlsguiEditor::showParameter(VstInt32 index) {
  if (frame == nullptr) {
    return;
  }
  // The stored value, not the argument: the effect has already clamped it.
  const float stored = controlsgui->getParameter(index);
  if (index >= 0 && index <= kParamMix) {
    if (knobs[index] != nullptr) {
      knobs[index]->setValue(stored);
    }
  } else if (index >= kFirstMenuTag && index <= kLastMenuTag) {
    if (COptionMenu* menu = menus[index - kFirstMenuTag]) {
      menu->setValue(shownSwitchState(index, stored));
    }
  } else if (index == kParamCab) {
    if (cabMenu != nullptr) cabMenu->setValue(static_cast<float>(CabinetChoice::fromValue(stored)));
  } else if (index == kParamPower && powerSwitch != nullptr) {
    // A host's automation of the power switch shows on the face as well.
    powerSwitch->setValue(shownSwitchState(index, stored));
  }
}

void ControlsguiEditor::valueChanged(CControl* control) {
  if (control == nullptr) {
    return;
  }
  const int32_t tag = control->getTag();
  lastTag = tag;
  if (tag == kParamCab) {
    cabinetChosen();
    return;
  }
  if (tag < 0 || tag > kLastMenuTag || tag == kParamMeter1 || tag == kParamMeter2) {
    return;  // the meters drive no parameter
  }
  float value = control->getValue();
  if (tag >= kFirstMenuTag) {
    value = static_cast<float>(static_cast<int32_t>(value)) * kMenuStep;
  }
  controlsgui->setParameterAutomated(tag, value);
  control->setDirty(true);
  describeChange(control);
}

// An entry of the cabinet menu: a cabinet, or the file dialog, after which the menu shows the
// cabinet in force again (a file chosen there moves it to User once it is loaded).
void ControlsguiEditor::cabinetChosen() {
  if (cabMenu == nullptr) return;
  const int32_t entry = cabMenu->getCurrentIndex(true);
  if (entry >= CabinetChoice::kOff && entry <= CabinetChoice::kUser) {
    controlsgui->setParameterAutomated(kParamCab, CabinetChoice::toValue(entry));
    cabMenu->setDirty(true);
    return;
  }
  cabMenu->setValue(static_cast<float>(CabinetChoice::fromValue(controlsgui->getParameter(kParamCab))));
  if (entry == editorlayout::kCabLoadEntryIndex) chooseResponseFile();
}

// The information line: kept up to date for the label, which the face does not show.
void ControlsguiEditor::describeChange(CControl* control) {
  static const char* const kTexts[] = {
      "Input Gain %.2f", "Decay %.2f",        "Tone %.2f",          "Tremolo Rate %.2f", nullptr,     nullptr,
      "Power",           "Input Transformer", "Output Transformer", "Power Supply",      "Output Tap"};
  const int32_t tag = control->getTag();
  const char* format = kTexts[tag];
  if (tag <= kParamMix) {
    std::snprintf(infoText, sizeof infoText, format, static_cast<double>(control->getValue() * 100.0f));
  } else {
    std::snprintf(infoText, sizeof infoText, "%s", format);
  }
  if (infoLabel != nullptr) {
    infoLabel->setText(infoText);
    infoLabel->setDirty(true);
  }
}
