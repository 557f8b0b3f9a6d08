// How the amplifier reads the parameters that act as switches. The model, the texts the host
// shows and the editor's menus all ask here, so what they show is what the amp does.
#pragma once

#include "model/ParameterIndex.h"

// A parameter as the model uses it: 0..1, NaN as 0.
constexpr float parameterValue(float v) {
  v = v > 0.0f ? v : 0.0f;
  return v < 1.0f ? v : 1.0f;
}

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
      return static_cast<int>(parameterValue(v) * 100.0f) != 0;
    case kParamOutputTransformer:
    case kParamPowerSupply:
      return v > 0.0f;
    default:
      return false;
  }
}

// Which settled state fits the settings: the supply feedback (p9) moves the operating point and
// the output tap (p10) decides what the output DC blocker has settled on. The other parameters
// do not matter in silence.
constexpr int idleKey(const float* params) {
  const bool supplyOn = switchIsOn(kParamPowerSupply, params[kParamPowerSupply]);
  const bool tapPower = switchIsOn(kParamOutputTap, params[kParamOutputTap]);
  return (supplyOn ? 1 : 0) | (tapPower ? 2 : 0);
}

// The circuit configuration the settings ask for: bit 0 the supply feedback, bit 1 the output
// tap (together the idle key), bit 2 the drive of 1 that any non-zero tap setting gives.
constexpr int circuitConfiguration(const float* params) {
  return idleKey(params) | (parameterValue(params[kParamOutputTap]) > 0.0f ? 4 : 0);
}
