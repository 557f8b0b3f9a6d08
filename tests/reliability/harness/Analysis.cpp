#include "tests/reliability/harness/Analysis.h"

#include <cfloat>
#include <cmath>

#include "tools/analyze/ToneFit.h"

namespace reliability {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

void fillSine(float* x, int n, double frequency, double rate, float amplitude, long long start) {
  const double w = 2.0 * kPi * frequency / rate;
  for (int i = 0; i < n; ++i) {
    x[i] = amplitude * static_cast<float>(std::sin(w * static_cast<double>(start + i)));
  }
}

bool allFinite(const float* x, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x[i])) return false;
  }
  return true;
}

float peak(const float* x, int n) {
  float p = 0.0f;
  for (int i = 0; i < n; ++i) p = std::fmax(p, std::fabs(x[i]));
  return p;
}

double toneAmplitude(const float* x, int n, double frequency, double rate) {
  return analysis::fitTone(x, 0, static_cast<size_t>(n), frequency, rate).amplitude;
}

double harmonicDistortion(const float* x, int n, double frequency, double rate) {
  const double fundamental = toneAmplitude(x, n, frequency, rate);
  double sum = 0.0;
  for (int h = 2; h <= 10 && h * frequency < 0.45 * rate; ++h) {
    const double a = toneAmplitude(x, n, h * frequency, rate);
    sum += a * a;
  }
  return fundamental > 0.0 ? std::sqrt(sum) / fundamental : 0.0;
}

}  // namespace reliability
