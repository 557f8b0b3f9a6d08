// The rate conversion around the 192 kHz circuit, measured on the linear path (mix 0, volume 1,
// transformers out), where everything in the output but the input tone is an error. The host
// signal meets the internal clock at each step's own time and the output is read at a fixed time
// behind the host grid, so no timing jitter enters on either side. The figures are printed; where
// a rate must be no worse than the frame that held each host sample and picked the output by
// phase over the host period, that frame's figures (measured on it) are the limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "model/AmpModel.h"
#include "tests/native/model/Signal.h"

namespace {

// The largest deviation from 0 dB from 20 Hz to 10 kHz.
double responseDeviation(double rate) {
  double worst = 0;
  std::cout << "rate conversion: response at " << rate << " Hz:";
  for (double f : {20.0, 50.0, 100.0, 300.0, 1000.0, 3000.0, 5000.0, 7000.0, 8000.0, 9000.0, 10000.0}) {
    const double g = measure::linearPath(rate, f, 0.5).gainDb;
    worst = std::max(worst, std::fabs(g));
    std::cout << " " << f << ":" << g;
  }
  std::cout << " dB (worst " << worst << " dB)";
  for (double f : {15000.0, 18000.0, 20000.0}) {
    if (f < 0.46 * rate) std::cout << " " << f << ":" << measure::linearPath(rate, f, 0.5).gainDb;
  }
  std::cout << "\n";
  return worst;
}

struct Spurious {
  double at1k, at10k;
};

Spurious spurious(double rate) {
  const Spurious s{measure::linearPath(rate, 1000.0).spuriousDb,
                   measure::linearPath(rate, 10000.0).spuriousDb};
  std::cout << "rate conversion: spurious content at " << rate << " Hz: " << s.at1k << " dB (1 kHz), "
            << s.at10k << " dB (10 kHz)\n";
  return s;
}

TEST(RateConversion, FortyFourPointOneKilohertzIsCleanAndFlat) {
  const Spurious s = spurious(44100.0);
  EXPECT_LE(s.at1k, -60.0);                    // held frame: -36 dB
  EXPECT_LE(s.at10k, -40.0);                   // held frame: -17 dB
  EXPECT_LE(responseDeviation(44100.0), 1.0);  // held frame: 1.19 dB at 10 kHz
}

TEST(RateConversion, OtherRatesNoWorseThanTheHeldFrame) {
  // The held frame's figures: spurious content for 1 and 10 kHz, worst response deviation from
  // 20 Hz to 10 kHz. At 48 and 96 kHz its steps fall regularly and its spurious content is the
  // dither and idle noise floor (about -68 dB); there the limits allow 0.5 dB for that floor.
  struct Limits {
    double rate, at1k, at10k, deviation;
  };
  for (const Limits& l :
       {Limits{48000.0, -67.89 + 0.5, -67.47 + 0.5, 0.99}, Limits{88200.0, -35.31, -17.07, 0.71},
        Limits{96000.0, -67.96 + 0.5, -67.84 + 0.5, 0.55}}) {
    const Spurious s = spurious(l.rate);
    EXPECT_LE(s.at1k, l.at1k) << l.rate;
    EXPECT_LE(s.at10k, l.at10k) << l.rate;
    EXPECT_LE(responseDeviation(l.rate), l.deviation) << l.rate;
  }
}

TEST(RateConversion, EveryHostRateIsClean) {
  // Above 192 kHz some host samples take no internal step; at 8 kHz one takes 24.
  for (double rate : {8000.0, 22050.0, 176400.0, 192000.0, 352800.0, 384000.0}) {
    const measure::PathFit f = measure::linearPath(rate, 1000.0, 0.5);
    std::cout << "rate conversion at " << rate << " Hz: 1 kHz gain " << f.gainDb << " dB, spurious "
              << f.spuriousDb << " dB, delay " << f.delay << " samples\n";
    EXPECT_NEAR(f.gainDb, -0.4, 0.3) << rate;
    EXPECT_LT(f.spuriousDb, -60.0) << rate;
  }
}

TEST(RateConversion, ReportedDelayMatchesTheLinearPath) {
  for (double rate : {8000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0}) {
    const double delay = measure::linearPath(rate, 100.0).delay;
    const int reported = AmpModel::reportedDelay(static_cast<float>(rate));
    std::cout << "rate conversion: linear path delay at " << rate << " Hz: " << delay << " samples, reported "
              << reported << "\n";
    EXPECT_NEAR(delay, reported, 0.5) << rate;
  }
}

TEST(RateConversion, DrivenDistortionIsUnchanged) {
  // Total harmonic distortion of a 1 kHz sine at 48 kHz, gains 0, 0.5, 1, for each output tap,
  // against the held frame's (in %).
  const double held[2][3] = {{0.108475, 25.0437, 61.1405}, {0.611332, 39.5314, 47.6358}};
  for (int tap = 0; tap < 2; ++tap) {
    for (int k = 0; k < 3; ++k) {
      AmpModel m;
      m.setHostRate(48000.0f);
      std::vector<float> p = measure::defaultParams();
      p[kParamGain] = 0.5f * k;
      p[kParamVolume] = 1.0f;
      p[kParamOutputTap] = static_cast<float>(tap);
      const std::vector<float> in = measure::sine(1000.0, 48000.0, 48000, 0.5);
      const measure::Stereo out = measure::render(m, in, in, p);
      const double thd = measure::thd(measure::harmonics(out.left, 1000.0, 48000.0, 24000, 48000, 10)) * 100;
      std::cout << "rate conversion: THD at 1 kHz, tap " << tap << ", gain " << 0.5 * k << ": " << thd
                << " % (held frame " << held[tap][k] << " %)\n";
      EXPECT_LT(std::fabs(measure::db(thd / held[tap][k])), 1.0) << tap << " " << k;
    }
  }
}

TEST(RateConversion, BothChannelsAtOnceEqualOneChannelAloneAtIrregularSteps) {
  // At 48 kHz every host sample takes four steps at the same phases; these rates vary them (and
  // above 192 kHz some host samples take none).
  const std::vector<float> in1 = measure::sine(220.0, 44100.0, 3000, 0.9);
  const std::vector<float> in2 = measure::sine(3000.0, 44100.0, 3000, 0.2);
  std::vector<float> p = measure::defaultParams();
  p[kParamGain] = 0.8f;
  p[kParamVolume] = 1.0f;
  for (float rate : {44100.0f, 11025.0f, 352800.0f}) {
    AmpModel a, b;
    a.setHostRate(rate);
    b.setHostRate(rate);
    const measure::Stereo stereo = measure::render(a, in1, in2, p, true);
    const measure::Stereo mono = measure::render(b, in1, in2, p, false);
    for (size_t i = 0; i < in1.size(); ++i) ASSERT_EQ(stereo.left[i], mono.left[i]) << rate << " " << i;
  }
}

}  // namespace
