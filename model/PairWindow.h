// The newest kTaps values of both channels, kept as pairs (channel 1, channel 2) oldest first, so
// that one four-float load holds two neighbouring values of both channels and a kernel's weights
// apply to both channels at once. The rate conversion reads the host samples through one (at
// each internal step's time) and the internal outputs through another (at each host sample's).
//
// Values are appended to a run of memory and only the newest kTaps are moved back to its start
// when the run is full, so a push is one store and the window is always contiguous.
#pragma once

#include <xmmintrin.h>

#include "model/Lanes.h"

template <int kTaps>
class PairWindow {
 public:
  static_assert(kTaps % 4 == 0, "the window is read four values at a time");
  static constexpr int kRun = 256;  // pushes between two moves

  // Audio thread, at block entry and exit: the window from and to its kept form (2 kTaps floats,
  // pairs oldest first).
  void load(const float* pairs) {
    for (int k = 0; k < 2 * kTaps; ++k) values_[k] = pairs[k];
    end_ = kTaps;
  }
  void save(float* pairs) const {
    const float* from = values_ + 2 * (end_ - kTaps);
    for (int k = 0; k < 2 * kTaps; ++k) pairs[k] = from[k];
  }
  // The same with the window kept as kTaps vectors of both channels (lanes 0 and 1; save writes
  // them as lanes() does, again into lanes 2 and 3).
  void load(const Float4* values) {
    for (int k = 0; k < kTaps; ++k) {
      values_[2 * k] = values[k][0];
      values_[2 * k + 1] = values[k][1];
    }
    end_ = kTaps;
  }
  void save(Float4* values) const {
    const float* from = values_ + 2 * (end_ - kTaps);
    for (int k = 0; k < kTaps; ++k) values[k] = lanes(from[2 * k], from[2 * k + 1]);
  }

  // Audio thread: makes room for n (at most kRun) more pushes.
  void reserve(int n) {
    if (end_ + n <= kTaps + kRun) return;
    const float* from = values_ + 2 * (end_ - kTaps);
    for (int k = 0; k < 2 * kTaps; ++k) values_[k] = from[k];
    end_ = kTaps;
  }

  // Audio thread: appends the pair in lanes 0 and 1 of v (room reserved).
  void push(Float4 v) {
    _mm_storel_pi(reinterpret_cast<__m64*>(values_ + 2 * end_), reinterpret_cast<__m128>(v));
    ++end_;
  }

  // Audio thread: both channels' sums of the window weighted by w (kTaps / 4 groups of four
  // weights, oldest first), as channel 1, channel 2 in lanes 0, 1 and again in 2, 3. A load holds
  // two taps (lanes 0, 1 the first, 2, 3 the second); the first and the second half of each group
  // are summed apart, as two independent chains, and everything is added up at the end in the
  // same order in every lane.
  Float4 dot(const Float4* w) const {
    const float* p = values_ + 2 * (end_ - kTaps);
    Float4 front = __builtin_shufflevector(w[0], w[0], 0, 0, 1, 1) * pairs(p);
    Float4 back = __builtin_shufflevector(w[0], w[0], 2, 2, 3, 3) * pairs(p + 4);
#pragma GCC unroll 8
    for (int g = 1; g < kTaps / 4; ++g) {
      front = front + __builtin_shufflevector(w[g], w[g], 0, 0, 1, 1) * pairs(p + 8 * g);
      back = back + __builtin_shufflevector(w[g], w[g], 2, 2, 3, 3) * pairs(p + 8 * g + 4);
    }
    const Float4 sum = front + back;
    return sum + __builtin_shufflevector(sum, sum, 2, 3, 0, 1);
  }

 private:
  static Float4 pairs(const float* p) {
    return reinterpret_cast<Float4>(_mm_loadu_ps(p));
  }

  float values_[2 * (kTaps + kRun)] = {};
  int end_ = kTaps;
};
