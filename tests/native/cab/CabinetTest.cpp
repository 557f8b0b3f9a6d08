// The cabinet stage: the convolution against the plain sum it stands for, the built-in cabinets'
// responses against the loudspeaker behaviour they were designed from, the user's responses, and
// the hand-over between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "cab/CabinetDesign.h"
#include "cab/CabinetStage.h"
#include "cab/Convolver.h"
#include "cab/ImpulseResponse.h"
#include "cab/UserResponse.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> noise(size_t n, uint32_t seed) {
  std::vector<float> v(n);
  for (float& x : v) {
    seed = seed * 1664525u + 1013904223u;
    x = static_cast<float>((seed >> 8) * (2.0 / 16777216.0) - 1.0);
  }
  return v;
}

// The response's gain in dB at f, by its discrete-time Fourier sum.
double gainDb(const std::vector<float>& h, double f, double rate) {
  std::complex<double> sum = 0.0;
  for (size_t n = 0; n < h.size(); ++n) sum += double(h[n]) * std::polar(1.0, -2.0 * kPi * f * n / rate);
  return 20.0 * std::log10(std::abs(sum));
}

// The frequency of the largest gain between lo and hi, in steps of 1/48 octave.
double loudestBetween(const std::vector<float>& h, double lo, double hi, double rate) {
  double best = lo, bestDb = -1e9;
  for (double f = lo; f <= hi; f *= std::pow(2.0, 1.0 / 48.0)) {
    const double g = gainDb(h, f, rate);
    if (g > bestDb) bestDb = g, best = f;
  }
  return best;
}

}  // namespace

// Every partition stage (the direct head, blocks of 64, 512 and 8192) must add its taps at the
// right delay: the output of both channels equals the plain sum Σ h[k]·x[n−k] for responses that
// end in each stage, including one tap past a stage's start. The samples come in runs of
// uneven lengths that cross the stages' periods anywhere, with fused multiply-adds and without.
TEST(Convolver, EqualsThePlainSumInEveryPartitionStage) {
  for (bool fused : {true, false}) {
    for (int length : {1, 128, 129, 700, 1025, 17000}) {
      const std::vector<float> h = noise(length, 7 + length);
      Convolver c;
      if (!c.useFusedMultiplyAdd(fused)) continue;
      ASSERT_TRUE(c.prepare(ImpulseResponse::prepare(h.data(), length)));
      const int n = length + 20000;
      const std::vector<float> x1 = noise(n, 1), x2 = noise(n, 2);
      std::vector<float> y1 = x1, y2 = x2;
      const int runs[] = {1, 17, 128, 255, 3, 512, 31, 1000};
      for (int i = 0, r = 0; i < n; ++r) {
        const int len = std::min(runs[r % 8], n - i);
        c.process(&y1[i], &y2[i], len, 2);
        i += len;
      }
      for (int i = 0; i < n; i += (i < 300 ? 1 : 61)) {
        double s1 = 0, s2 = 0, scale = 0;
        for (int k = 0; k < length && k <= i; ++k) {
          s1 += double(h[k]) * x1[i - k], s2 += double(h[k]) * x2[i - k];
          scale += std::fabs(h[k]);
        }
        ASSERT_NEAR(y1[i], s1, 1e-5 * scale + 1e-6) << "length " << length << " sample " << i << " " << fused;
        ASSERT_NEAR(y2[i], s2, 1e-5 * scale + 1e-6) << "length " << length << " sample " << i << " " << fused;
      }
    }
  }
}

// With one channel, the second channel's history follows the first's, as the circuit's second
// lane does: reconnected, it plays on from what both outputs played, never the tail of what it
// heard before it stopped (here loud noise, then silence alone for longer than the response and
// its stage's two blocks, then silence on both).
TEST(Convolver, SecondChannelFollowsTheFirstWhileAlone) {
  for (int length : {700, 17000}) {
    const std::vector<float> h = noise(length, 11);
    Convolver c;
    ASSERT_TRUE(c.prepare(ImpulseResponse::prepare(h.data(), length)));
    const std::vector<float> loud = noise(length + 500, 12);
    std::vector<float> l(loud.size()), r = loud;
    c.process(l.data(), r.data(), static_cast<int>(l.size()), 2);
    std::vector<float> alone(length + 3 * 8192 + 500, 0.0f);
    c.process(alone.data(), nullptr, static_cast<int>(alone.size()), 1);
    std::vector<float> quiet1(9000, 0.0f), quiet2(9000, 0.0f);
    c.process(quiet1.data(), quiet2.data(), 9000, 2);
    for (int i = 0; i < 9000; ++i) ASSERT_EQ(quiet2[i], 0.0f) << "length " << length << " sample " << i;
  }
}

// Whatever the response (full-scale noise for the longest length, a single 1.0, a tail of
// subnormal values) and whatever the input, the output stays finite and within Σ|h|·max|x|.
TEST(Convolver, OutputIsFiniteAndBoundedForAnyResponse) {
  std::vector<std::vector<float>> responses = {noise(48000, 3), {1.0f}, std::vector<float>(3000, 1e-40f)};
  responses[2][0] = 0.5f;
  for (const std::vector<float>& h : responses) {
    Convolver c;
    ASSERT_TRUE(c.prepare(ImpulseResponse::prepare(h.data(), static_cast<int>(h.size()))));
    double bound = 0;
    for (float v : h) bound += std::fabs(v);
    std::vector<float> l = noise(60000, 5), r = l;
    for (float& v : r) v = -v;
    c.process(l.data(), r.data(), static_cast<int>(l.size()), 2);
    for (size_t i = 0; i < l.size(); ++i) {
      ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i]));
      ASSERT_LE(std::fabs(l[i]), bound * 1.001 + 1e-6);
    }
  }
}

// The designs as the loudspeaker literature describes them: a low resonance between 70 and
// 120 Hz, the cone's break-up peak between 1.5 and 4 kHz, a steep fall above it (10 kHz at least
// 20 dB under the peak), and a closed back's firmer low end than the open backs'.
TEST(Cabinets, ResponsesShowResonanceBreakUpAndTopFall) {
  const double rate = 48000.0;
  double lowEnd[CabinetDesign::kBuiltIns];
  for (int c = 0; c < CabinetDesign::kBuiltIns; ++c) {
    const std::vector<float> h = CabinetDesign::impulse(c, static_cast<float>(rate));
    ASSERT_FALSE(h.empty());
    const double resonance = loudestBetween(h, 40.0, 200.0, rate);
    EXPECT_GE(resonance, 70.0) << CabinetDesign::kNames[c];
    EXPECT_LE(resonance, 125.0) << CabinetDesign::kNames[c];
    const double breakUp = loudestBetween(h, 1000.0, 6000.0, rate);
    EXPECT_GE(breakUp, 1500.0) << CabinetDesign::kNames[c];
    EXPECT_LE(breakUp, 4000.0) << CabinetDesign::kNames[c];
    EXPECT_LT(gainDb(h, 10000.0, rate), gainDb(h, breakUp, rate) - 20.0) << CabinetDesign::kNames[c];
    lowEnd[c] = gainDb(h, 60.0, rate) - gainDb(h, 1000.0, rate);
  }
  for (int c = 1; c < CabinetDesign::kBuiltIns; ++c)
    EXPECT_GT(lowEnd[0], lowEnd[c]) << CabinetDesign::kNames[c];
}

// A user's response is refused whole, with a reason, when it cannot be used; a usable one is
// resampled to the host rate (an impulse at 96 kHz plays as a flat response at 48 kHz), and one
// longer than a second is cut there.
TEST(UserResponses, UnusableOnesAreRefusedAndUsableOnesResampledAndCut) {
  const char* why = nullptr;
  const std::vector<float> silent(1000, 0.0f);
  EXPECT_TRUE(UserResponse::conform(silent.data(), 1000, 48000.0, 48000.0f, &why).empty());
  EXPECT_STREQ(why, "the impulse response is silent");
  std::vector<float> bad = noise(100, 1);
  bad[50] = std::nanf("");
  EXPECT_TRUE(UserResponse::conform(bad.data(), 100, 48000.0, 48000.0f, &why).empty());
  EXPECT_TRUE(UserResponse::conform(bad.data(), 0, 48000.0, 48000.0f, &why).empty());
  EXPECT_TRUE(UserResponse::conform(silent.data(), 1000, 1e9, 48000.0f, &why).empty());

  std::vector<float> impulse(960, 0.0f);
  impulse[0] = 1.0f;
  const std::vector<float> h = UserResponse::conform(impulse.data(), 960, 96000.0, 48000.0f, &why);
  ASSERT_FALSE(h.empty());
  EXPECT_NEAR(h.size(), 480u, 2u);
  for (double f : {100.0, 1000.0, 10000.0})
    EXPECT_NEAR(gainDb(h, f, 48000.0), gainDb(h, 3000.0, 48000.0), 0.5);

  const std::vector<float> long_ = noise(150000, 9);
  bool cut = false;
  EXPECT_EQ(UserResponse::conform(long_.data(), 150000, 48000.0, 48000.0f, &why, &cut).size(), 48000u);
  EXPECT_TRUE(cut);
}
