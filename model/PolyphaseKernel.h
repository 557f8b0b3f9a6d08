// A band-limited interpolation kernel, tabulated for reads at any fraction of a sample: the sinc,
// under a Kaiser window of kTaps samples, at kPhases + 1 fractions 0, 1/kPhases, .., 1. A read at a
// fraction between two tabulated ones takes the weights linearly interpolated between their rows,
// which makes the kernel a continuous function of time: the read time varies, the response does
// not, so no timing jitter enters however the reads fall.
//
// The rate conversion reads the host signal at each internal step's time with the 24-tap kernel
// (within 0.1 dB up to 0.41 of the host rate, about 100 dB down from 0.63 of it on, so no image
// of a host tone folds back at the internal rate) and the internal outputs at each host sample's
// time with the 16-tap one.
#pragma once

#include "model/Lanes.h"

template <int kTapCount>
class PolyphaseKernel {
 public:
  static_assert(kTapCount % 4 == 0, "the weights are read four at a time");
  static constexpr int kTaps = kTapCount;
  static constexpr int kPhases = 256;
  static constexpr int kGroups = kTaps / 4;

  // Any thread. The shared table, computed on first use (an instance's constructor calls it, so
  // the audio thread finds it made).
  static const PolyphaseKernel& shared();

  // Audio thread. The weights of the taps, oldest first, four to a vector (group g holding taps
  // 4g..4g+3), for a read at the time from which tap k lies k - kTaps / 2 + fraction samples
  // later: fraction 0 reads exactly at tap kTaps / 2, fraction 1 at the tap before it.
  void weights(float fraction, Float4* out) const {
    // Clamped to the table (also against NaN), so a fraction rounded past 0 or 1 reads its edge.
    const float position =
        atMost(atLeast(fraction * static_cast<float>(kPhases), 0.0f), static_cast<float>(kPhases));
    int row = truncate(position);
    row = row < kPhases - 1 ? row : kPhases - 1;
    const Float4 f = Float4{1.0f, 1.0f, 1.0f, 1.0f} * (position - toFloat(row));
    const Group* r = rows_[row];
    for (int g = 0; g < kGroups; ++g) out[g] = r[g].weight + f * r[g].slope;
  }

 private:
  // Four taps' weights at one tabulated fraction, and what they gain up to the next one.
  struct Group {
    Float4 weight;
    Float4 slope;
  };
  PolyphaseKernel();
  Group rows_[kPhases][kGroups];
};

using HostKernel = PolyphaseKernel<24>;
using StepKernel = PolyphaseKernel<16>;
