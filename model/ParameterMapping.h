// How the amplifier reads the parameters that act as switches. The model, the texts the host
// shows and the editor's menus all ask here, so what they show is what the amp does.
#pragma once

#include "model/ParameterIndex.h"

// Whether `index` is a two-way switch rather than a continuous control.
constexpr bool isSwitchParameter(int index) {
  return index == kParamPower || (index >= kParamInputTransformer && index <= kParamOutputTap);
}

// Whether a switch's value puts its section in (for the output tap: the power-stage tap; for
// the power switch: the amplifier runs). NaN counts as off. The transformer and tap switches
// are read in hundredths, as the editor's menus write them (0.00 or 0.01).
constexpr bool switchIsOn(int index, float v) {
  switch (index) {
    case kParamPower:
      return v > 0.5f;
    case kParamInputTransformer:
    case kParamOutputTap:
      v = v > 0.0f ? v : 0.0f;
      v = v < 1.0f ? v : 1.0f;
      return static_cast<int>(v * 100.0f) != 0;
    case kParamOutputTransformer:
    case kParamPowerSupply:
      return v > 0.0f;
    default:
      return false;
  }
}
