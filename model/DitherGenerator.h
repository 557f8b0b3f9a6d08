// The dither source of one model instance: a linear congruential generator with the C library
// rand's range (0..32767). Being per instance, instances on different audio threads share no
// state, and the output is the same on every platform.
#pragma once

#include <cstdint>

class DitherGenerator {
 public:
  // Audio thread. One draw in 0..32767.
  int next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7fffu);
  }

  // Audio thread. The dither of one channel and host sample: six draws summed as integers,
  // scaled into 0..1e-5 (mean 5e-6).
  float sample() {
    int sum = 0;
    for (int k = 0; k < 6; ++k) sum += next();
    return static_cast<float>(sum) * 1e-5f * 5.0864182e-6f;
  }

 private:
  uint32_t state_ = 1u;
};
