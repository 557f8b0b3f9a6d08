// The dither source of one model instance: a linear congruential generator with the C library
// rand's range (0..32767). Being per instance, instances on different audio threads share no
// state, and the output is the same on every platform.
#pragma once

#include <cstdint>

namespace dither_lcg {
constexpr uint32_t kA = 1103515245u;
constexpr uint32_t kC = 12345u;
// k steps at once: the state becomes state * factor(k) + term(k).
constexpr uint32_t factor(int k) {
  return k == 0 ? 1u : kA * factor(k - 1);
}
constexpr uint32_t term(int k) {
  return k == 0 ? 0u : kA * term(k - 1) + kC;
}
}  // namespace dither_lcg

class DitherGenerator {
 public:
  // Audio thread. One draw in 0..32767.
  int next() {
    state_ = state_ * dither_lcg::kA + dither_lcg::kC;
    return static_cast<int>((state_ >> 16) & 0x7fffu);
  }

  // Audio thread. The dither of one channel and host sample: six draws summed as integers,
  // scaled into 0..1e-5 (mean 5e-6).
  float sample() {
    int sum = 0;
    for (int k = 0; k < 6; ++k) sum += next();
    return static_cast<float>(sum) * 1e-5f * 5.0864182e-6f;
  }

  // Audio thread. The dither of both channels for one host sample: the values of two calls of
  // sample, channel 1's first. The twelve states are taken from the first by the generator's
  // jump-ahead (k steps at once: multiply by A^k, add C (A^(k-1) + ... + 1)), four at a time,
  // so the draws need neither a chain of twelve multiplications nor one instruction each; the
  // integer sums are exact in any order.
  void pair(float& first, float& second) {
    using namespace dither_lcg;
    typedef uint32_t U4 __attribute__((vector_size(16)));
    constexpr U4 kFactor1to4 = {factor(1), factor(2), factor(3), factor(4)};
    constexpr U4 kTerm1to4 = {term(1), term(2), term(3), term(4)};
    constexpr U4 kFactor4 = {factor(4), factor(4), factor(4), factor(4)};
    constexpr U4 kTerm4 = {term(4), term(4), term(4), term(4)};
    const U4 s = U4{state_, state_, state_, state_};
    const U4 s1 = s * kFactor1to4 + kTerm1to4;  // states 1..4
    const U4 s2 = s1 * kFactor4 + kTerm4;       // 5..8
    const U4 s3 = s2 * kFactor4 + kTerm4;       // 9..12
    state_ = s3[3];
    const U4 d1 = (s1 >> 16) & 0x7fffu;
    const U4 d2 = (s2 >> 16) & 0x7fffu;
    const U4 d3 = (s3 >> 16) & 0x7fffu;
    // Draws 1..6 are channel 1's, 7..12 channel 2's: {1 + 3, 2 + 4, 9 + 11, 10 + 12} plus 5..8.
    const U4 p =
        __builtin_shufflevector(d1, d3, 0, 1, 4, 5) + __builtin_shufflevector(d1, d3, 2, 3, 6, 7) + d2;
    const U4 sums = p + __builtin_shufflevector(p, p, 1, 0, 3, 2);
    first = static_cast<float>(static_cast<int>(sums[0])) * 1e-5f * 5.0864182e-6f;
    second = static_cast<float>(static_cast<int>(sums[2])) * 1e-5f * 5.0864182e-6f;
  }

 private:
  uint32_t state_ = 1u;
};
