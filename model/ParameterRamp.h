// A block value that moves to a new target over a number of host samples instead of jumping
// (a jump of gain, volume or mix is heard as a click, block-wise steps of an automated value as
// zipper noise), and then holds the target exactly, so a value that does not change gives the
// same samples as an unramped one.
#pragma once

#include <cmath>

class ParameterRamp {
 public:
  // Linear steps suit volume and mix; a gain moves by equal ratios (equal steps in dB), so the
  // quiet end of a large change is as gradual as the loud end.
  enum class Shape { kLinear, kRatio };

  explicit ParameterRamp(Shape shape) : shape_(shape) {}

  // Audio thread. Heads for target over samples (at least 1) host samples from where the value
  // stands now. A ratio ramp needs positive values.
  void start(float target, int samples) {
    target_ = target;
    remaining_ = samples;
    step_ = shape_ == Shape::kLinear ? (target - value_) / static_cast<float>(samples)
                                     : std::pow(target / value_, 1.0f / static_cast<float>(samples));
  }

  // Audio thread. Jumps to target (a new instance, a reset).
  void set(float target) {
    value_ = target;
    target_ = target;
    remaining_ = 0;
  }

  // Audio thread, once per host sample while moving(): the value for this sample.
  float advance() {
    if (remaining_ > 1) {
      --remaining_;
      value_ = shape_ == Shape::kLinear ? value_ + step_ : value_ * step_;
    } else {
      remaining_ = 0;
      value_ = target_;
    }
    return value_;
  }

  bool moving() const { return remaining_ > 0; }
  float value() const { return value_; }
  float target() const { return target_; }

 private:
  Shape shape_;
  float value_ = 0.0f;
  float target_ = 0.0f;
  float step_ = 0.0f;
  int remaining_ = 0;
};
