// A valve curve's value at one sample of its table, by the defining procedure: u in float,
// powers by powf, the sum accumulated in float from power 0 up, then scaled. The reference the
// model's tables and the committed data are both checked against.
#pragma once

#include <cmath>

#include "model/ValveData.h"

constexpr int kValveCurveTop = 44099;  // the sample at u = +1

inline float valveCurveValue(int bank, int curve, int sample) {
  const float x = 2.0f / 44099.0f;
  const float u = static_cast<float>(sample) * x - 1.0f;
  float s = 0.0f;
  for (int p = 0; p <= 20; ++p)
    s = s + std::pow(u, static_cast<float>(p)) * kValveCoefficients[bank][curve][20 - p];
  return s * kValveScales[bank][curve];
}
