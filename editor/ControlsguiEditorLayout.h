// Where the editor's controls sit on the 1191 x 734 face, in the order they are added to the
// frame (later ones are drawn over and hit before earlier ones), with their pictures, frame
// counts and parameter tags. Every position and size of the editor is written here once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/frame/CArea.h"
#include "gui/frame/CRgbaColor.h"
#include "model/ParameterIndex.h"
#include "resources/ResourceIds.h"

namespace editorlayout {

enum class StripKind { kKnob, kPowerSwitch, kMeter };

// A control drawn from a film strip: its size is the strip's width by one frame's height.
struct StripControl {
  StripKind kind;
  int32_t x;
  int32_t y;
  int32_t resource;
  int32_t frameCount;
  int32_t tag;
  // The strip's geometry as the artwork promises it, used when the picture cannot be read.
  int32_t stripWidth;
  int32_t frameHeight;
};

inline constexpr int32_t kPowerSwitchX = 1037;
inline constexpr int32_t kPowerSwitchY = 520;

// Consecutive rows share a picture: it is loaded once for them and released after the last.
// The power switch precedes the meters and covers the top 9 rows of the small knob.
inline constexpr StripControl kStripControls[] = {
    {StripKind::kKnob, 80, 538, KORVALITE_RES_KNOB_BIG, KORVALITE_RES_KNOB_BIG_FRAMES, kParamGain,
     KORVALITE_RES_KNOB_BIG_WIDTH, KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT},  // gain
    {StripKind::kKnob, 246, 538, KORVALITE_RES_KNOB_BIG, KORVALITE_RES_KNOB_BIG_FRAMES, kParamTone,
     KORVALITE_RES_KNOB_BIG_WIDTH, KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT},  // tone
    {StripKind::kKnob, 864, 539, KORVALITE_RES_KNOB_BIG, KORVALITE_RES_KNOB_BIG_FRAMES, kParamVolume,
     KORVALITE_RES_KNOB_BIG_WIDTH, KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT},  // volume
    {StripKind::kKnob, 1067, 616, KORVALITE_RES_KNOB_SMALL, KORVALITE_RES_KNOB_SMALL_FRAMES, kParamMix,
     KORVALITE_RES_KNOB_SMALL_WIDTH, KORVALITE_RES_KNOB_SMALL_FRAME_HEIGHT},  // mix
    {StripKind::kPowerSwitch, kPowerSwitchX, kPowerSwitchY, KORVALITE_RES_POWER_SWITCH,
     KORVALITE_RES_POWER_SWITCH_FRAMES, kParamPower, KORVALITE_RES_POWER_SWITCH_WIDTH,
     KORVALITE_RES_POWER_SWITCH_FRAME_HEIGHT},
    {StripKind::kMeter, 448, 555, KORVALITE_RES_VU_LEFT, KORVALITE_RES_VU_FRAMES, kParamMeter1,
     KORVALITE_RES_VU_WIDTH, KORVALITE_RES_VU_FRAME_HEIGHT},
    {StripKind::kMeter, 660, 554, KORVALITE_RES_VU_RIGHT, KORVALITE_RES_VU_FRAMES, kParamMeter2,
     KORVALITE_RES_VU_WIDTH, KORVALITE_RES_VU_FRAME_HEIGHT},
};

// Only the power switch's lever takes clicks: its whole picture covers the pilot lamp and the
// top rows of the mix knob.
inline constexpr VSTGUI::CArea kPowerLeverArea{
    kPowerSwitchX + KORVALITE_RES_POWER_SWITCH_LEVER_X - KORVALITE_RES_POWER_SWITCH_LEVER_HALF_WIDTH,
    kPowerSwitchY + KORVALITE_RES_POWER_SWITCH_LEVER_Y - KORVALITE_RES_POWER_SWITCH_LEVER_HALF_HEIGHT,
    kPowerSwitchX + KORVALITE_RES_POWER_SWITCH_LEVER_X + KORVALITE_RES_POWER_SWITCH_LEVER_HALF_WIDTH,
    kPowerSwitchY + KORVALITE_RES_POWER_SWITCH_LEVER_Y + KORVALITE_RES_POWER_SWITCH_LEVER_HALF_HEIGHT};

inline constexpr int32_t kMaxMenuEntries = 2;

// A pop-up option menu that shows only the text of its current entry.
struct MenuControl {
  VSTGUI::CArea bounds;
  int32_t tag;
  const char* entries[kMaxMenuEntries];  // null past the last entry
  VSTGUI::CRgbaColor textColor;
};

// Added after the film-strip controls: the supply menu covers the switch's top 13 rows.
inline constexpr MenuControl kMenus[] = {
    {{88, 195, 88 + 49, 195 + 17}, kParamInputTransformer, {"Input 1", "Input 2"}, {0, 0, 0, 200}},
    {{1011, 178, 1011 + 62, 178 + 22}, kParamOutputTransformer, {"Output 1", "Output 2"}, {0, 0, 0, 200}},
    {{1046, 511, 1046 + 75, 511 + 22}, kParamPowerSupply, {"Stiff", "Sagging"}, {0, 0, 0, 200}},
    {{334, 95, 334 + 190, 95 + 22},
     kParamOutputTap,
     {"Tap to Preamp", "Tap to Stage 2"},
     {200, 200, 200, 120}},
};
// The speaker cabinet's menu, on its own plate at the back wall's left, beside the output tap's,
// with the same pale text on a dark inset. Its entries: Off, the built-in cabinets, the player's
// response (its title carries the file's name), a separator and the entry that opens the file
// dialog. The entry in force is the Cab parameter's step (CabinetChoice).
inline constexpr VSTGUI::CArea kCabMenuBounds{70, 95, 70 + 214, 95 + 22};
inline constexpr VSTGUI::CRgbaColor kCabTextColor{200, 200, 200, 120};
inline constexpr const char* kCabEntries[] = {"No Cabinet", "4x12 Closed Back", "2x12 Open Back",
                                              "1x12 Open Combo", "1x10 Small Combo"};
inline constexpr const char* kCabUserPrefix = "User: ";
inline constexpr const char* kCabUserNone = "User (no file loaded)";
inline constexpr const char* kCabLoadEntry = "Load Impulse Response...";
inline constexpr int32_t kCabUserEntry = 5;
inline constexpr int32_t kCabLoadEntryIndex = 7;  // after the separator
// The most of a file's name the User entry shows (what fits the plate's window beside "User: " at
// 14 points); the rest becomes an ellipsis.
inline constexpr size_t kCabNameShown = 16;

// The line under the two plates where a file that cannot be used says why, and a long response
// that it was cut: pale amber on the dark wall, between the input transformer's cap, the power
// valves' glass and the badge.
inline constexpr VSTGUI::CArea kCabMessageBounds{176, 130, 176 + 412, 130 + 16};
inline constexpr VSTGUI::CRgbaColor kCabMessageColor{245, 200, 130, 235};

// Background and outline of every menu: fully transparent, so only the text shows.
inline constexpr VSTGUI::CRgbaColor kMenuGround{255, 255, 255, 0};

// The mark under the knob that has the keyboard's focus: the pilot lamp's amber.
inline constexpr VSTGUI::CRgbaColor kFocusRingColor{255, 170, 40, 230};

// The information line; built with the controls but not shown on the face.
inline constexpr VSTGUI::CArea kInfoLabelBounds{7, 294, 7 + 343, 294 + 15};
inline constexpr VSTGUI::CRgbaColor kInfoTextColor{230, 230, 230, 160};
inline constexpr VSTGUI::CRgbaColor kInfoGround{0, 0, 0, 0};

inline constexpr int32_t kFaceWidth = KORVALITE_RES_BACKGROUND_WIDTH;
inline constexpr int32_t kFaceHeight = KORVALITE_RES_BACKGROUND_HEIGHT;

// Every picture the face is made of, with its size at 100 %: what a picture at another size is
// made from (the 2x parts follow ResourceIds.h).
struct PictureGeometry {
  int32_t resource;
  int32_t width;
  int32_t frameHeight;
  int32_t frames;
};
inline constexpr PictureGeometry kPictures[] = {
    {KORVALITE_RES_BACKGROUND, KORVALITE_RES_BACKGROUND_WIDTH, KORVALITE_RES_BACKGROUND_HEIGHT, 1},
    {KORVALITE_RES_KNOB_BIG, KORVALITE_RES_KNOB_BIG_WIDTH, KORVALITE_RES_KNOB_BIG_FRAME_HEIGHT,
     KORVALITE_RES_KNOB_BIG_FRAMES},
    {KORVALITE_RES_KNOB_SMALL, KORVALITE_RES_KNOB_SMALL_WIDTH, KORVALITE_RES_KNOB_SMALL_FRAME_HEIGHT,
     KORVALITE_RES_KNOB_SMALL_FRAMES},
    {KORVALITE_RES_VU_LEFT, KORVALITE_RES_VU_WIDTH, KORVALITE_RES_VU_FRAME_HEIGHT, KORVALITE_RES_VU_FRAMES},
    {KORVALITE_RES_VU_RIGHT, KORVALITE_RES_VU_WIDTH, KORVALITE_RES_VU_FRAME_HEIGHT, KORVALITE_RES_VU_FRAMES},
    {KORVALITE_RES_POWER_SWITCH, KORVALITE_RES_POWER_SWITCH_WIDTH, KORVALITE_RES_POWER_SWITCH_FRAME_HEIGHT,
     KORVALITE_RES_POWER_SWITCH_FRAMES},
};

// The editor's sizes in percent of the face's own, offered on a right click on the face.
inline constexpr int32_t kSizes[] = {75, 100, 125, 150, 200};
inline constexpr int32_t kSizeCount = static_cast<int32_t>(sizeof kSizes / sizeof kSizes[0]);
inline constexpr const char* kSizeEntries[] = {"Size 75 %", "Size 100 %", "Size 125 %", "Size 150 %",
                                               "Size 200 %"};

// The offered size nearest to `percent` at or below it (the smallest for anything under it): a
// screen at 144 dpi (150 %) opens the editor at 150 %, one at 120 dpi (125 %) at 125 %, one at
// 110 % at 100 %.
constexpr int32_t offeredSize(int64_t percent) {
  int32_t chosen = kSizes[0];
  for (int32_t size : kSizes)
    if (size <= percent) chosen = size;
  return chosen;
}
// The size that suits a screen of `dpi` dots per inch (96 is 100 %).
constexpr int32_t sizeForDpi(uint32_t dpi) {
  return offeredSize(dpi == 0 ? 100 : static_cast<int64_t>(dpi) * 100 / 96);
}

// The meters follow the published levels at most this often; a falling needle moves by
// 0.2 of full scale per second (full scale in 5 s), a rising one jumps.
inline constexpr uint32_t kMeterPeriodMs = 60;
inline constexpr float kMeterFallPerMs = 0.0002f;

}  // namespace editorlayout
