#include "cab/MinimumPhase.h"

#include <cmath>
#include <new>

#include "cab/FftPlan.h"

std::vector<float> MinimumPhase::impulse(const std::vector<float>& magnitude, int size, int taps) {
  const int bins = size / 2 + 1;
  if (size < 64 || static_cast<int>(magnitude.size()) != bins || taps < 1 || taps > size) return {};
  try {
    FftPlan plan(size);
    if (!plan.valid()) return {};
    std::vector<FftComplex> spectrum(bins);
    std::vector<float> cepstrum(size);
    // Floor at -120 dB: the logarithm of a zero would be infinite.
    for (int k = 0; k < bins; ++k) {
      const double m = magnitude[k] > 1e-6f ? magnitude[k] : 1e-6;
      spectrum[k] = FftComplex{static_cast<float>(std::log(m)), 0.0f};
    }
    plan.inverse(spectrum.data(), cepstrum.data());
    const float scale = 1.0f / static_cast<float>(size);
    // Fold: the causal part doubled, the anti-causal part dropped.
    for (int n = 0; n < size; ++n) {
      const float c = cepstrum[n] * scale;
      cepstrum[n] = n == 0 || n == size / 2 ? c : (n < size / 2 ? 2.0f * c : 0.0f);
    }
    plan.forward(cepstrum.data(), spectrum.data());
    for (int k = 0; k < bins; ++k) {
      const double a = std::exp(static_cast<double>(spectrum[k].r));
      const double phase = spectrum[k].i;
      spectrum[k] =
          FftComplex{static_cast<float>(a * std::cos(phase)), static_cast<float>(a * std::sin(phase))};
    }
    std::vector<float> time(size);
    plan.inverse(spectrum.data(), time.data());
    std::vector<float> out(taps);
    const int fadeStart = taps - taps / 4;
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < taps; ++n) {
      double w = 1.0;
      if (n >= fadeStart) w = 0.5 + 0.5 * std::cos(pi * (n - fadeStart + 1) / (taps - fadeStart + 1));
      out[n] = static_cast<float>(time[n] * scale * w);
    }
    return out;
  } catch (const std::bad_alloc&) {
    return {};
  }
}
