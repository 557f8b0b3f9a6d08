// The linear filters measured against the responses the design states: gains, corners, pass
// and stop bands, taken from settled sines.
#include <gtest/gtest.h>

#include "model/DcBlocker.h"
#include "model/ResamplingFilter.h"
#include "model/ToneFilter.h"
#include "model/TransformerFilters.h"
#include "tests/native/model/Signal.h"

namespace {

using measure::gainDb;

double inputTransformerDb(double f) {
  InputTransformerState s;
  return gainDb([&](float x) { return TransformerFilters::inputTransformer(s, x); }, f, 44100.0);
}

TEST(InputTransformer, UnityAtDcResonanceNearFiveKilohertzAndHighFrequencyFloor) {
  InputTransformerState s;
  float y = 0;
  for (int i = 0; i < 20000; ++i) y = TransformerFilters::inputTransformer(s, 0.25f);
  EXPECT_NEAR(y, 0.25f, 1e-4f);
  EXPECT_NEAR(inputTransformerDb(5100.0), 7.8, 0.3);
  double best = -100, bestF = 0;
  for (double f = 3000; f <= 7000; f += 50) {
    const double g = inputTransformerDb(f);
    if (g > best) best = g, bestF = f;
  }
  EXPECT_NEAR(bestF, 5100.0, 400.0);
  EXPECT_NEAR(inputTransformerDb(22000.0), -12.5, 0.7);
}

TEST(OutputTransformerPair, CutIsTwelveDecibelsAtHundredHertzAndLiftUndoesIt) {
  for (float fs : {44100.0f, 48000.0f, 96000.0f}) {
    PeakingCoefficients cut, lift;
    TransformerFilters::peakingPair(fs, cut, lift);
    PeakingState a, b;
    EXPECT_NEAR(
        gainDb([&](float x) { return TransformerFilters::peaking(cut, a, x); }, 100.0, fs, 40000, 40000),
        -12.0, 0.1);
    EXPECT_NEAR(gainDb([&](float x) { return TransformerFilters::peaking(cut, b, x); }, 5000.0, fs), 0.0,
                0.1);

    PeakingState c, d;
    std::vector<float> in = measure::sine(80.0, fs, 20000);
    for (size_t i = 0; i < in.size(); i += 7) in[i] += 0.3f;  // something broadband
    float worst = 0;
    for (float x : in) {
      const float y = TransformerFilters::peaking(lift, d, TransformerFilters::peaking(cut, c, x));
      worst = std::fmax(worst, std::fabs(y - x));
    }
    EXPECT_LT(worst, 1e-3f) << fs;  // float rounding of two near-unit-circle sections
  }
}

TEST(ToneLowPass, CornerFollowsToneFromOneToTwentyKilohertz) {
  for (auto [tone, corner] : {std::pair{0.0f, 1000.0}, std::pair{1.0f, 20000.0}, std::pair{0.5f, 10500.0}}) {
    const ToneCoefficients c = ToneFilter::coefficients(tone, 192000.0f);
    ToneState s, t;
    EXPECT_NEAR(gainDb([&](float x) { return ToneFilter::process(c, s, x); }, corner, 192000.0), -3.01, 0.05)
        << tone;
    EXPECT_NEAR(gainDb([&](float x) { return ToneFilter::process(c, t, x); }, 20.0, 192000.0, 40000, 96000),
                0.0, 0.01);
  }
}

double resamplerDb(double f) {
  ResamplerState s;
  return gainDb([&](float x) { return ResamplingFilter::process(s, x); }, f, 192000.0, 4000, 16000);
}

TEST(ResamplingLowPass, PassBandCornerAndStopBandAtTheInternalRate) {
  for (double f = 20; f <= 24000; f += (f < 1000 ? 490 : 1000)) {
    const double g = resamplerDb(f);
    EXPECT_GE(g, -0.21) << f;
    EXPECT_LE(g, 0.01) << f;
  }
  EXPECT_NEAR(resamplerDb(24500.0), -3.0, 1.0);
  for (double f = 30000; f < 35000; f += 500) EXPECT_LE(resamplerDb(f), -57.0) << f;
  for (double f = 35000; f <= 95000; f += 1000) EXPECT_LE(resamplerDb(f), -80.0) << f;
}

TEST(DcBlocker, CornerNearThirtyOneHertzAtTheInternalRate) {
  DcBlockerT<float> s;
  const float pole = dcBlockerPole();
  EXPECT_NEAR(pole, 0.9989985f, 1e-7f);
  const auto step = [&](float x) { return s.process(x, pole); };
  EXPECT_NEAR(gainDb(step, 31.0, 192000.0, 96000, 96000), -3.0, 0.25);
  DcBlockerT<float> t;
  float y = 0;
  for (int i = 0; i < 192000; ++i) y = t.process(1.0f, pole);
  EXPECT_LT(std::fabs(y), 1e-3f);
}

}  // namespace
