// Group 4: blocks and rates. Every host rate from 8 to 384 kHz with blocks of 1 to 4096 samples,
// random block sizes from 0 up to twice the announced size, zero-length calls and rate changes
// with and without a suspend. The output does not depend on how a signal is cut into blocks,
// and the amplifier sounds the same at every rate, since the model follows the host rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/reliability/harness/Analysis.h"
#include "tests/reliability/harness/PluginHost.h"

using namespace reliability;

namespace {

const float kRates[] = {8000, 22050, 44100, 48000, 88200, 96000, 176400, 192000, 384000};
const int kBlocks[] = {1, 7, 64, 512, 4096};

struct Rendered {
  std::vector<float> left, right;
};

// Renders `input` (both channels) in the block sizes `sizes` gives, one after the other; the
// announced block size is `announced`. Zero-length blocks are sent as they come.
template <typename Sizes>
Rendered render(float rate, VstInt32 announced, const std::vector<float>& input, Sizes sizes) {
  Instance effect = Instance::started(rate, announced);
  EXPECT_TRUE(effect);
  effect.setParameter(0, 0.7f);  // a fixed drive
  const int total = static_cast<int>(input.size());
  StereoBuffers audio(8192);
  Rendered r;
  r.left.reserve(input.size());
  r.right.reserve(input.size());
  int done = 0;
  while (done < total) {
    const int n = std::min(sizes(), total - done);
    float** in = audio.in(n);
    std::memcpy(in[0], input.data() + done, sizeof(float) * n);
    std::memcpy(in[1], input.data() + done, sizeof(float) * n);
    float** out = audio.out(n);
    effect.process(in, out, n);
    r.left.insert(r.left.end(), out[0], out[0] + n);
    r.right.insert(r.right.end(), out[1], out[1] + n);
    done += n;
  }
  return r;
}

float largestDifference(const Rendered& a, const Rendered& b) {
  float d = 0.0f;
  for (size_t i = 0; i < a.left.size(); ++i) {
    d = std::fmax(d, std::fabs(a.left[i] - b.left[i]));
    d = std::fmax(d, std::fabs(a.right[i] - b.right[i]));
  }
  return d;
}

TEST(BlocksAndRates, ChunkedEqualsWholeAndTheSoundAgreesAcrossRates) {
  constexpr double kTone = 1000.0;
  constexpr float kLevel = 0.1f;
  const double seconds = 0.4 * soakFactor();
  std::string gains, thds;
  double minGain = 1e9, maxGain = -1e9, minThd = 1e9, maxThd = -1e9, lowRateGain = 0.0;
  float worst = 0.0f;
  long combinations = 0;
  Rng rng(44);
  for (float rate : kRates) {
    const int n = static_cast<int>(seconds * rate);
    std::vector<float> input(static_cast<size_t>(n));
    fillSine(input.data(), n, kTone, rate, kLevel);
    // The reference: the whole signal in blocks of 8192 with that size announced.
    const Rendered whole = render(rate, 8192, input, [] { return 8192; });
    ASSERT_TRUE(allFinite(whole.left.data(), n) && allFinite(whole.right.data(), n));
    for (int block : kBlocks) {
      const Rendered chunked = render(rate, block, input, [block] { return block; });
      const float d = largestDifference(whole, chunked);
      worst = std::fmax(worst, d);
      EXPECT_EQ(d, 0.0f) << rate << " Hz in blocks of " << block;
      // Blocks twice the size the host announced.
      const Rendered doubled = render(rate, block, input, [block] { return 2 * block; });
      EXPECT_EQ(largestDifference(whole, doubled), 0.0f) << rate << " Hz, twice " << block;
      combinations += 2;
    }
    // Random sizes from 0 (zero-length calls included) up to twice the announced 512.
    const Rendered random = render(rate, 512, input, [&rng] { return static_cast<int>(rng.below(1025)); });
    EXPECT_EQ(largestDifference(whole, random), 0.0f) << rate << " Hz in random blocks";
    ++combinations;
    // Gain and distortion of the settled last quarter second (whole periods of 1 kHz).
    const int settled = static_cast<int>(0.1 * rate);
    const float* tail = whole.left.data() + n - settled;
    const double gainDb = 20.0 * std::log10(toneAmplitude(tail, settled, kTone, rate) / kLevel);
    const double thd = 100.0 * harmonicDistortion(tail, settled, kTone, rate);
    gains += format(" %.0fk:%.2f", rate / 1000.0, gainDb);
    thds += format(" %.0fk:%.2f", rate / 1000.0, thd);
    // At 8 kHz the tone sits at a quarter of the host's Nyquist frequency, where the resampling
    // low-pass and the interpolation back to host samples take their droop, and the harmonics the
    // measure counts are cut off: that rate gets its own, wider bound.
    if (rate < 22050.0f) {
      lowRateGain = gainDb;
    } else {
      minGain = std::fmin(minGain, gainDb);
      maxGain = std::fmax(maxGain, gainDb);
      minThd = std::fmin(minThd, thd);
      maxThd = std::fmax(maxThd, thd);
    }
  }
  EXPECT_LT(maxGain - minGain, 0.5) << gains;
  EXPECT_LT(std::fabs(lowRateGain - 0.5 * (minGain + maxGain)), 1.0) << gains;
  EXPECT_LT(maxThd - minThd, 0.25 * maxThd + 0.05) << thds;
  figure("4 blocks and rates", format("%zu rates x %zu blocks (+ doubled, random 0..1024 with zero-length "
                                      "calls): %ld renders, largest chunked-whole difference %g",
                                      std::size(kRates), std::size(kBlocks), combinations, worst));
  figure("4 blocks and rates", "gain at 1 kHz, -20 dBFS, drive 0.7 (dB):" + gains +
                                   format(" (spread from 22.05 kHz up %.2f dB)", maxGain - minGain));
  figure("4 blocks and rates",
         "THD (%):" + thds + format(" (spread from 22.05 kHz up %.3f points)", maxThd - minThd));
}

// The host changes the rate while running, once with a suspend around it and once without: the
// output stays finite and the gain at the new rate is the gain a fresh instance has there.
TEST(BlocksAndRates, RateChangesWithAndWithoutSuspend) {
  StereoBuffers audio(512);
  for (bool suspend : {true, false}) {
    for (size_t r = 0; r + 1 < std::size(kRates); ++r) {
      const float from = kRates[r];
      const float to = kRates[(r + 4) % std::size(kRates)];
      Instance effect = Instance::started(from, 512);
      ASSERT_TRUE(effect);
      long long t = 0;
      auto playAt = [&](float rate, double seconds, std::vector<float>* keep) {
        const int blocks = static_cast<int>(seconds * rate / 512);
        for (int b = 0; b < blocks; ++b) {
          float** in = audio.in(512);
          fillSine(in[0], 512, 1000.0, rate, 0.1f, t);
          fillSine(in[1], 512, 1000.0, rate, 0.1f, t);
          float** out = audio.out(512);
          effect.process(in, out, 512);
          ASSERT_TRUE(allFinite(out[0], 512) && allFinite(out[1], 512));
          if (keep != nullptr) keep->insert(keep->end(), out[0], out[0] + 512);
          t += 512;
        }
      };
      playAt(from, 0.1, nullptr);
      if (suspend) effect.dispatch(effMainsChanged, 0, 0);
      effect.dispatch(effSetSampleRate, 0, 0, nullptr, to);
      effect.dispatch(effSetBlockSize, 0, 512);
      if (suspend) effect.dispatch(effMainsChanged, 0, 1);
      std::vector<float> after;
      playAt(to, 0.4, &after);
      const int settled = static_cast<int>(0.1 * to) / 512 * 512;
      const double gain = toneAmplitude(after.data() + after.size() - settled, settled, 1000.0, to);
      // A fresh instance at the new rate.
      Instance fresh = Instance::started(to, 512);
      Instance keepOld = std::move(effect);
      std::swap(effect, fresh);
      t = 0;
      std::vector<float> reference;
      playAt(to, 0.4, &reference);
      const double expected =
          toneAmplitude(reference.data() + reference.size() - settled, settled, 1000.0, to);
      EXPECT_NEAR(20.0 * std::log10(gain / expected), 0.0, 0.1)
          << from << " -> " << to << (suspend ? " with" : " without") << " suspend";
    }
  }
  figure("4 blocks and rates",
         "rate changes with and without suspend (8 pairs each): finite, gain settles to "
         "a fresh instance's within 0.1 dB");
}

}  // namespace
