#include "tools/analyze/Signals.h"

#include <cmath>

std::vector<double> toneFrequencies(double rate) {
  std::vector<double> f;
  const int steps = 36;
  for (int i = 0; i <= steps; ++i) {
    const double v = 20.0 * std::pow(1000.0, static_cast<double>(i) / steps);
    if (v < 0.45 * rate) f.push_back(v);
  }
  return f;
}

MonoSignal steppedTones(double rate, double amplitude) {
  MonoSignal s{rate, {}};
  const auto per = static_cast<size_t>(kToneSeconds * rate);
  for (double f : toneFrequencies(rate)) {
    for (size_t i = 0; i < per; ++i)
      s.samples.push_back(
          static_cast<float>(amplitude * std::sin(2 * M_PI * f * static_cast<double>(i) / rate)));
  }
  return s;
}

MonoSignal sine(double rate, double frequency, double amplitude, double seconds) {
  MonoSignal s{rate, {}};
  const auto n = static_cast<size_t>(seconds * rate);
  s.samples.resize(n);
  for (size_t i = 0; i < n; ++i)
    s.samples[i] =
        static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * static_cast<double>(i) / rate));
  return s;
}

MonoSignal sweep(double rate, double from, double to, double amplitude, double seconds) {
  MonoSignal s{rate, {}};
  const auto n = static_cast<size_t>(seconds * rate);
  s.samples.resize(n);
  // The phase of f(t) = from * (to / from)^(t / seconds), integrated.
  const double k = std::log(to / from) / seconds;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    s.samples[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * from * (std::exp(k * t) - 1) / k));
  }
  return s;
}
