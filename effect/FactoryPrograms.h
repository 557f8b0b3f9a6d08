// The settings the bank starts with in programs 1 to 8, for a guitarist to start from. Each
// was chosen by ear from renders and set to about the loudness of the clean one (on a decaying
// two-partial phrase and on the demo riff, none more than 2 dB louder than it), so stepping
// through them does not jump in level; the THD at 1 kHz and 0.3 amplitude runs from under 1 %
// (clean) to about 50 % (lead). Each plays through the cabinet that suits it: the closed 4x12
// for the driven ones, the open 2x12 and 1x12 for the clean and crunchy ones, the small 1x10
// for the warm clean. Program 0 and the others hold the defaults (the 2x12).
#pragma once

#include "model/ParameterIndex.h"

struct FactoryProgram {
  const char* name;
  float values[kNumParams];  // gain, tone, volume, mix, meter 1, meter 2, power, input
                             // transformer, output transformer, power supply, output tap, cab
};

inline constexpr int kFirstFactoryProgram = 1;
inline constexpr FactoryProgram kFactoryPrograms[] = {
    {"Clean", {0.3f, 0.6f, 1.0f, 1.0f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.6f}},
    {"Crunch", {0.65f, 0.5f, 0.3f, 1.0f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.4f}},
    {"Drive", {0.8f, 0.5f, 0.26f, 1.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.2f}},
    {"Lead", {1.0f, 0.4f, 0.18f, 1.0f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.2f}},
    {"Power Amp Crunch", {0.45f, 0.55f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.6f}},
    {"Power Amp Drive", {0.9f, 0.5f, 0.38f, 1.0f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.2f}},
    {"Parallel Drive", {0.9f, 0.5f, 0.4f, 0.8f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.4f}},
    {"Warm Clean", {0.35f, 0.3f, 0.78f, 1.0f, 0.5f, 0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.8f}},
};
inline constexpr int kNumFactoryPrograms = sizeof(kFactoryPrograms) / sizeof(kFactoryPrograms[0]);
