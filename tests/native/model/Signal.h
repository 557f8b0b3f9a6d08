// Measurement helpers for the model tests: sine generation, least-squares tone fits and a
// renderer that runs an AmpModel over whole buffers in host blocks.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "model/AmpModel.h"
#include "model/ParameterIndex.h"
#include "tools/analyze/ToneFit.h"

namespace measure {

constexpr double kPi = 3.14159265358979323846;

inline std::vector<float> sine(double frequency, double rate, int count, double amplitude = 0.5) {
  std::vector<float> s(count);
  for (int i = 0; i < count; ++i)
    s[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * frequency * i / rate));
  return s;
}

// The least-squares fit of a tone at frequency over y[from..to) (the analysis tool's).
using analysis::ToneFit;
inline ToneFit fitTone(const std::vector<float>& y, double frequency, double rate, int from, int to) {
  return analysis::fitTone(y.data(), static_cast<size_t>(from), static_cast<size_t>(to), frequency, rate);
}

inline double db(double ratio) {
  return 20.0 * std::log10(ratio);
}

// Steady-state gain in dB of a one-sample filter step at frequency for rate.
template <typename Step>
double gainDb(Step step, double frequency, double rate, int settle = 20000, int measure = 20000) {
  std::vector<float> in = sine(frequency, rate, settle + measure, 1.0);
  std::vector<float> out(in.size());
  for (size_t i = 0; i < in.size(); ++i) out[i] = step(in[i]);
  return db(fitTone(out, frequency, rate, settle, settle + measure).amplitude);
}

// Harmonic amplitudes 1..count of a tone at frequency over an integer number of periods.
inline std::vector<double> harmonics(const std::vector<float>& y, double frequency, double rate, int from,
                                     int to, int count) {
  std::vector<double> a;
  for (int h = 1; h <= count; ++h) a.push_back(fitTone(y, frequency * h, rate, from, to).amplitude);
  return a;
}

inline double thd(const std::vector<double>& h) {
  double sum = 0;
  for (size_t k = 1; k < h.size(); ++k) sum += h[k] * h[k];
  return std::sqrt(sum) / h[0];
}

// The default program's parameter values, with the cabinet off: the amplifier alone.
inline std::vector<float> defaultParams() {
  return {0.5f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0, 0, 0, 0, 0};
}

// The linear path: mix 0, volume 1, transformers out.
inline std::vector<float> linearParams() {
  std::vector<float> p = defaultParams();
  p[kParamMix] = 0.0f;
  p[kParamVolume] = 1.0f;
  return p;
}

struct Stereo {
  std::vector<float> left, right;
};

// Runs the model over both inputs in blocks of blockSize (the last one shorter).
inline Stereo render(AmpModel& model, const std::vector<float>& in1, const std::vector<float>& in2,
                     const std::vector<float>& params, bool secondActive = true, int blockSize = 512) {
  Stereo out{std::vector<float>(in1.size(), 0.0f), std::vector<float>(in1.size(), 0.0f)};
  float meter1 = 0, meter2 = 0;
  for (size_t at = 0; at < in1.size(); at += blockSize) {
    const int n = static_cast<int>(std::min<size_t>(blockSize, in1.size() - at));
    const float* inputs[2] = {in1.data() + at, in2.data() + at};
    float* outputs[2] = {out.left.data() + at, out.right.data() + at};
    model.processReplacing(inputs, outputs, n, params.data(), secondActive, &meter1, &meter2);
  }
  return out;
}

inline float peak(const std::vector<float>& v, size_t from = 0) {
  float p = 0;
  for (size_t i = from; i < v.size(); ++i) p = std::fmax(p, std::fabs(v[i]));
  return p;
}

// The linear path (mix 0) at one frequency: a 0.5 sine through a fresh model, fitted over the
// second half of the render.
struct PathFit {
  double gainDb;      // tone out against tone in
  double spuriousDb;  // everything else against the tone
  double delay;       // host samples the tone lags by
};

inline PathFit linearPath(double rate, double frequency, double seconds = 1.0) {
  AmpModel m;
  m.setHostRate(static_cast<float>(rate));
  const int n = static_cast<int>(rate * seconds);
  const std::vector<float> in = sine(frequency, rate, n, 0.5);
  const Stereo out = render(m, in, in, linearParams());
  const ToneFit f = fitTone(out.left, frequency, rate, n / 2, n);
  return {db(f.amplitude / 0.5), db(f.residualRms / (f.amplitude / std::sqrt(2.0))),
          f.lag / (2.0 * kPi * frequency / rate)};
}

}  // namespace measure
