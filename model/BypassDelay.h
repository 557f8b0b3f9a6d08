// The raw input of both channels, kept for the bypass: with the power off the input leaves
// delayed by the latency the host is told, so the host's delay compensation holds whether the
// amplifier is in or out. Preallocated for the longest delay of any accepted host rate.
#pragma once

#include <cstdint>

class BypassDelay {
 public:
  static constexpr int kCapacity = 1024;  // a power of two above the delay at 10 MHz (748)

  // Audio thread, once per host sample: stores this sample's raw inputs.
  void push(float in1, float in2) {
    position_ = (position_ + 1) & (kCapacity - 1);
    line_[0][position_] = in1;
    line_[1][position_] = in2;
  }

  // Audio thread. The input of channel (0, 1) delay samples before the last pushed one
  // (0 < delay < kCapacity).
  float delayed(int channel, int delay) const {
    return line_[channel][(position_ - delay) & (kCapacity - 1)];
  }

  // Dispatcher thread: silence, as before any input.
  void clear() {
    for (auto& line : line_) {
      for (float& v : line) v = 0.0f;
    }
  }

 private:
  float line_[2][kCapacity] = {};
  int32_t position_ = 0;
};
