#include "model/ValveTables.h"

#include <cmath>
#include <memory>

#include "model/ValveData.h"

const ValveTables& ValveTables::shared() {
  // A function-local static is built once, thread-safely, by the first caller; it lives until
  // the library is unloaded.
  static const ValveTables tables;
  return tables;
}

ValveTables::ValveTables() : data_(new float[static_cast<std::size_t>(kBanks) * kCurves * kSamples]) {
  build();
}

ValveTables::~ValveTables() {
  delete[] data_;
}

// Every curve is s(u) = sum over p = 0..20 of powf(u, p) * coef[p], accumulated in float in
// rising powers, times the curve's scale factor. powf(u, p) does not depend on the bank or the
// curve, so it is computed once per (u, p) and reused by all hundred curves; the sums keep their
// order per sample, so the values are exactly those of evaluating each curve on its own (Horner
// would round differently). The sample loop is innermost and free of dependencies between
// samples, so it vectorises without reassociating anything.
void ValveTables::build() {
  constexpr int kUsed = kLastSample + 1;  // samples 0..44099; 44100 is the guard copy
  const float x = 2.0f / 44099.0f;
  std::unique_ptr<float[]> powers(new float[static_cast<std::size_t>(kPowers) * kUsed]);
  for (int i = 0; i < kUsed; ++i) {
    const float u = static_cast<float>(i) * x - 1.0f;
    for (int p = 0; p < kPowers; ++p) {
      powers[static_cast<std::size_t>(p) * kUsed + i] = std::pow(u, static_cast<float>(p));
    }
  }
  std::unique_ptr<float[]> sums(new float[kSamples]);
  for (int b = 0; b < kBanks; ++b) {
    for (int j = 0; j < kCurves; ++j) {
      float* t = sums.get();
      for (int i = 0; i < kUsed; ++i) t[i] = 0.0f;
      for (int p = 0; p < kPowers; ++p) {
        // The data lists the highest power first.
        const float c = kValveCoefficients[b][j][kPowers - 1 - p];
        const float* pw = powers.get() + static_cast<std::size_t>(p) * kUsed;
        for (int i = 0; i < kUsed; ++i) t[i] = t[i] + pw[i] * c;
      }
      const float scale = kValveScales[b][j];
      for (int i = 0; i < kUsed; ++i) t[i] = t[i] * scale;
      t[kUsed] = t[kLastSample];
      float* dst = data_ + (curve(b, j) - data_);
      const int k = stride(b);
      for (int i = 0; i < kSamples; ++i) dst[i * k] = t[i];
    }
  }
}
