#include "tools/analyze/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "tools/analyze/ToneFit.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

static void fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double ang = -2 * kPi / static_cast<double>(len);
    const std::complex<double> wl(std::cos(ang), std::sin(ang));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w(1);
      for (size_t k = 0; k < len / 2; ++k) {
        const auto u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= wl;
      }
    }
  }
}

std::vector<double> magnitudeSpectrum(const std::vector<float>& x, size_t begin, size_t size) {
  std::vector<std::complex<double>> a(size);
  double gain = 0;
  for (size_t i = 0; i < size; ++i) {
    const double t = 2 * kPi * static_cast<double>(i) / static_cast<double>(size);
    const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
    gain += w;
    a[i] = (begin + i < x.size() ? x[begin + i] : 0.0f) * w;
  }
  fft(a);
  std::vector<double> mag(size / 2);
  for (size_t k = 0; k < size / 2; ++k) mag[k] = 2 * std::abs(a[k]) / gain;
  return mag;
}

double strongestNonHarmonicDb(const std::vector<float>& x, size_t begin, size_t size, double frequency,
                              double rate, double below) {
  std::vector<float> rest(x.begin() + static_cast<long>(begin), x.begin() + static_cast<long>(begin + size));
  double tone = 0;
  for (int h = 1; h * frequency < rate / 2; ++h) {
    const analysis::ToneFit f = analysis::fitTone(rest.data(), 0, size, h * frequency, rate);
    if (h == 1) tone = f.amplitude;
    for (size_t i = 0; i < size; ++i)
      rest[i] -= static_cast<float>(
          f.amplitude * std::sin(2 * kPi * h * frequency * static_cast<double>(i) / rate - f.lag));
  }
  const std::vector<double> mag = magnitudeSpectrum(rest, 0, size);
  // A tone that is not perfectly steady (the circuit still settles slowly) leaves a little of
  // itself beside its fitted line: eight bins either side of each harmonic (twice the window's
  // main lobe) are not counted, nor is what lies below 50 Hz (that settling itself).
  const double bin = rate / static_cast<double>(size);
  double strongest = 1e-12;
  for (size_t k = 0; k < mag.size(); ++k) {
    const double f = static_cast<double>(k) * bin;
    const double harmonic = frequency * std::round(f / frequency);
    if (f >= 50 && f <= below && std::fabs(f - harmonic) > 8 * bin) strongest = std::max(strongest, mag[k]);
  }
  return 20 * std::log10(strongest / std::max(tone, 1e-12));
}
