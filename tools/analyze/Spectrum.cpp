#include "tools/analyze/Spectrum.h"

#include <cmath>
#include <complex>

double toneAmplitude(const std::vector<float>& x, size_t begin, size_t end, double frequency, double rate) {
  // Normal equations of x ~ a sin + b cos + c.
  double m[3][4] = {};
  const double w = 2 * M_PI * frequency / rate;
  for (size_t i = begin; i < end; ++i) {
    const double b[3] = {std::sin(w * static_cast<double>(i)), std::cos(w * static_cast<double>(i)), 1.0};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) m[r][c] += b[r] * b[c];
      m[r][3] += b[r] * x[i];
    }
  }
  for (int p = 0; p < 3; ++p) {  // Gauss-Jordan; the system is well conditioned for spans of a period or more
    const double d = m[p][p];
    if (std::fabs(d) < 1e-12) return 0;
    for (int c = p; c < 4; ++c) m[p][c] /= d;
    for (int r = 0; r < 3; ++r) {
      if (r == p) continue;
      const double f = m[r][p];
      for (int c = p; c < 4; ++c) m[r][c] -= f * m[p][c];
    }
  }
  return std::hypot(m[0][3], m[1][3]);
}

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
