#include "tools/analyze/Spectrum.h"

#include <cmath>
#include <complex>

static void fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double ang = -2 * M_PI / static_cast<double>(len);
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
    const double t = 2 * M_PI * static_cast<double>(i) / static_cast<double>(size);
    const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
    gain += w;
    a[i] = (begin + i < x.size() ? x[begin + i] : 0.0f) * w;
  }
  fft(a);
  std::vector<double> mag(size / 2);
  for (size_t k = 0; k < size / 2; ++k) mag[k] = 2 * std::abs(a[k]) / gain;
  return mag;
}
