// The built-in cabinets' convolvers for one host rate, each with its own history. The responses
// are made once per rate and process and shared; the convolvers belong to one stage.
#pragma once

#include <memory>

#include "cab/CabinetDesign.h"
#include "cab/Convolver.h"

class CabinetBank {
 public:
  // Any thread but the audio thread. Null when memory runs out.
  static std::unique_ptr<CabinetBank> make(float rate);

  float rate() const { return rate_; }
  // Audio thread: cabinet 0..3; null when its response could not be made.
  Convolver* voice(int cabinet) { return ready_[cabinet] ? &voices_[cabinet] : nullptr; }

 private:
  CabinetBank() = default;
  float rate_ = 0.0f;
  Convolver voices_[CabinetDesign::kBuiltIns];
  bool ready_[CabinetDesign::kBuiltIns] = {};
};
