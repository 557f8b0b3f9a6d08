#include "model/PolyphaseKernel.h"

#include <cmath>

namespace {

// The Kaiser window's shape parameter for each kernel: 10 puts the 24-tap kernel's stop band
// about 100 dB down from about 0.63 of the rate on; 12 gives the 16-tap one more depth over its
// wider transition (its reads only need the band up to a quarter of the internal rate).
constexpr double beta(int taps) {
  return taps >= 24 ? 10.0 : 12.0;
}

// The windowed sinc at t samples from its middle, for a window of half-width `half` (unscaled:
// each row is scaled afterwards).
double windowedSinc(double t, int half, double b) {
  const double r = t / half;
  if (r <= -1.0 || r >= 1.0) return 0.0;
  constexpr double kPi = 3.14159265358979323846;
  const double sinc = t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
  return sinc * std::cyl_bessel_i(0.0, b * std::sqrt(1.0 - r * r));
}

// The weights of one row, each row scaled to sum to 1: a read passes a constant exactly at every
// fraction, so the kernel's small gain ripple across fractions cannot modulate low tones.
template <int kTaps>
void normalisedRow(double fraction, double* w) {
  double sum = 0.0;
  for (int k = 0; k < kTaps; ++k) {
    w[k] = windowedSinc(k - kTaps / 2 + fraction, kTaps / 2, beta(kTaps));
    sum += w[k];
  }
  for (int k = 0; k < kTaps; ++k) w[k] /= sum;
}

}  // namespace

template <int kTapCount>
PolyphaseKernel<kTapCount>::PolyphaseKernel() {
  double next[kTaps];
  normalisedRow<kTaps>(0.0, next);
  for (int p = 0; p < kPhases; ++p) {
    double row[kTaps];
    for (int k = 0; k < kTaps; ++k) row[k] = next[k];
    normalisedRow<kTaps>(static_cast<double>(p + 1) / kPhases, next);
    for (int k = 0; k < kTaps; ++k) {
      rows_[p][k / 4].weight[k % 4] = static_cast<float>(row[k]);
      rows_[p][k / 4].slope[k % 4] = static_cast<float>(next[k] - row[k]);
    }
  }
}

template <int kTapCount>
const PolyphaseKernel<kTapCount>& PolyphaseKernel<kTapCount>::shared() {
  static const PolyphaseKernel kernel;
  return kernel;
}

template class PolyphaseKernel<24>;
template class PolyphaseKernel<16>;
