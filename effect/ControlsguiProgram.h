// One program of the effect's bank: the twelve parameter values and a name (12 floats, then 24
// name bytes, no gap).
#pragma once

#include "cab/CabinetChoice.h"
#include "model/ParameterIndex.h"
#include "plugin/Relaxed.h"
#include "plugin/VstInterface.h"
#include "plugin/VstStrings.h"

// The value every parameter takes in a new program, index 0 first.
inline constexpr float kDefaultParameterValues[kNumParams] = {
    0.5f,                                                      // gain
    0.5f,                                                      // tone
    0.5f,                                                      // volume
    1.0f,                                                      // mix
    0.5f,                                                      // meter 1
    0.5f,                                                      // meter 2
    1.0f,                                                      // power on
    0.0f,                                                      // input transformer off
    0.0f,                                                      // output transformer off
    0.0f,                                                      // power supply sag off
    0.0f,                                                      // output from the preamp
    CabinetChoice::toValue(CabinetChoice::kFirstBuiltIn + 1),  // the open-back 2x12
};

struct ControlsguiProgram {
  ControlsguiProgram() {
    for (int i = 0; i < kNumParams; ++i) {
      values[i] = kDefaultParameterValues[i];
    }
    vstCopyString(name, "Default", sizeof name);
  }

  // Written by whichever thread changes a parameter, read by the dispatcher thread.
  Relaxed<float> values[kNumParams];
  char name[kVstMaxProgNameLen];  // terminated, at most 23 characters
};

static_assert(sizeof(ControlsguiProgram) == 72);
static_assert(offsetof(ControlsguiProgram, name) == 48);
