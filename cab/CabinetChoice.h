// The steps of the Cab parameter: off, the built-in cabinets, the user's impulse response. The
// model, the texts the host shows and the chunks all read the value here.
#pragma once

#include "cab/CabinetDesign.h"

namespace CabinetChoice {

constexpr int kOff = 0;
constexpr int kFirstBuiltIn = 1;
constexpr int kUser = kFirstBuiltIn + CabinetDesign::kBuiltIns;
constexpr int kChoices = kUser + 1;

// The step a value 0..1 selects (NaN: off): the nearest of kChoices evenly spaced values.
constexpr int fromValue(float v) {
  v = v > 0.0f ? v : 0.0f;
  v = v < 1.0f ? v : 1.0f;
  return static_cast<int>(v * (kChoices - 1) + 0.5f);
}
constexpr float toValue(int choice) {
  return static_cast<float>(choice) / (kChoices - 1);
}

constexpr const char* name(int choice) {
  return choice <= kOff ? "Off" : (choice >= kUser ? "User" : CabinetDesign::kNames[choice - kFirstBuiltIn]);
}

}  // namespace CabinetChoice
