#include "model/ValveTables.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "model/ValveData.h"

namespace {

// A digest of the table values' bit patterns: four interleaved FNV-1a streams of 32-bit words,
// folded into one at the end (one stream would make each value wait for the previous one).
class TableFingerprint {
 public:
  void add(const float* v, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
      for (int l = 0; l < 4; ++l) mix(lanes_[l], v[i + l]);
    }
    for (; i < n; ++i) mix(lanes_[0], v[i]);
  }
  std::uint64_t value() const {
    std::uint64_t h = kBasis;
    for (std::uint64_t l : lanes_) h = (h ^ l) * kPrime;
    return h;
  }

 private:
  static constexpr std::uint64_t kBasis = 0xcbf29ce484222325ull;
  static constexpr std::uint64_t kPrime = 0x100000001b3ull;
  static void mix(std::uint64_t& h, float v) {
    std::uint32_t w;
    std::memcpy(&w, &v, sizeof w);
    h = (h ^ w) * kPrime;
  }
  std::uint64_t lanes_[4] = {kBasis, kBasis, kBasis, kBasis};
};

}  // namespace

const ValveTables& ValveTables::shared() {
  // A function-local static is built once, thread-safely, by the first caller; it lives until
  // the library is unloaded.
  static const ValveTables tables;
  return tables;
}

ValveTables::ValveTables()
    : data_(new float[static_cast<std::size_t>(kBanks) * kStoredCurves * kCurveStride]) {
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
// samples, so it vectorises without reassociating anything. The samples go in runs short enough
// that a run's powers and sums stay in the first-level cache for all hundred curves (the whole
// axis's powers, 3.7 MB, would be read from memory once per curve).
void ValveTables::build() {
  constexpr int kUsed = kLastSample + 1;  // samples 0..44099; 44100 is the guard copy
  constexpr int kRun = 256;
  const float x = 2.0f / 44099.0f;
  std::unique_ptr<float[]> powers(new float[static_cast<std::size_t>(kPowers) * kRun]);
  float sums[kRun];
  TableFingerprint print;
  for (int first = 0; first < kUsed; first += kRun) {
    const int n = kUsed - first < kRun ? kUsed - first : kRun;
    for (int i = 0; i < n; ++i) {
      const float u = static_cast<float>(first + i) * x - 1.0f;
      for (int p = 0; p < kPowers; ++p) powers[p * kRun + i] = std::pow(u, static_cast<float>(p));
    }
    for (int b = 0; b < kBanks; ++b) {
      const int k = stride(b);
      for (int j = 0; j < kCurves; ++j) {
        for (int i = 0; i < n; ++i) sums[i] = 0.0f;
        for (int p = 0; p < kPowers; ++p) {
          // The data lists the highest power first.
          const float c = kValveCoefficients[b][j][kPowers - 1 - p];
          const float* pw = powers.get() + p * kRun;
          for (int i = 0; i < n; ++i) sums[i] = sums[i] + pw[i] * c;
        }
        const float scale = kValveScales[b][j];
        for (int i = 0; i < n; ++i) sums[i] = sums[i] * scale;
        print.add(sums, n);
        float* dst = data_ + (curve(b, j) - data_) + static_cast<std::size_t>(first) * k;
        for (int i = 0; i < n; ++i) dst[i * k] = sums[i];
      }
    }
  }
  for (int b = 0; b < kBanks; ++b) {
    const int k = stride(b);
    for (int j = 0; j < kCurves; ++j) {
      float* t = data_ + (curve(b, j) - data_);
      t[kUsed * k] = t[kLastSample * k];
    }
    const float* last = curve(b, kCurves - 1);
    float* guard = data_ + (curve(b, kCurves) - data_);
    for (int i = 0; i < kSamples; ++i) guard[i * k] = last[i * k];
  }
  fingerprint_ = print.value();
}
