// The rate conversion around the 192 kHz circuit, measured on the linear path (mix 0, volume 1,
// transformers out), where everything in the output but the input tone and the dither is an
// error. The host signal is read at each step's own time and the output at each host sample's,
// both through band-limited kernels, so neither timing jitter nor images enter, at any ratio of
// the rates. The figures are printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "effect/FactoryPrograms.h"
#include "model/AmpModel.h"
#include "tests/native/model/Signal.h"
#include "tools/analyze/Spectrum.h"

namespace {

TEST(RateConversion, LinearPathIsAtTheNoiseFloorAndFlatAtEveryRatio) {
  // The conversion's own error at most -100 dB to 10 kHz and -80 dB above; the level within
  // 0.5 dB of 1 kHz's up to 18 kHz at 44.1 and 48 kHz, up to 20 kHz from 88.2 kHz on.
  for (double rate : {44100.0, 48000.0, 88200.0, 96000.0}) {
    const double top = rate < 88200.0 ? 18000.0 : 20000.0;
    const double at1k = measure::linearPath(rate, 1000.0, 0.5).gainDb;
    std::cout << "rate conversion at " << rate << " Hz (level re 1 kHz / own error, dB):";
    for (double f : {100.0, 1000.0, 5000.0, 10000.0, 15000.0, 18000.0, 20000.0}) {
      if (f > 0.46 * rate) continue;
      const measure::PathFit p = measure::linearPath(rate, f, 0.5, true);
      std::cout << " " << f << ": " << p.gainDb - at1k << " / " << p.conversionDb;
      EXPECT_LE(p.conversionDb, f <= 10000.0 ? -100.0 : -80.0) << rate << " " << f;
      if (f <= top) {
        EXPECT_NEAR(p.gainDb, at1k, 0.5) << rate << " " << f;
      }
    }
    std::cout << "\n";
  }
}

TEST(RateConversion, EveryHostRateIsClean) {
  // Above 192 kHz some host samples take no internal step; at 8 kHz one takes 24.
  for (double rate : {8000.0, 22050.0, 176400.0, 192000.0, 352800.0, 384000.0}) {
    const measure::PathFit f = measure::linearPath(rate, 1000.0, 0.5, true);
    std::cout << "rate conversion at " << rate << " Hz: 1 kHz gain " << f.gainDb << " dB, own error "
              << f.conversionDb << " dB, with the dither " << f.spuriousDb << " dB\n";
    EXPECT_NEAR(f.gainDb, -0.2, 0.1) << rate;
    EXPECT_LT(f.conversionDb, -100.0) << rate;
  }
}

TEST(RateConversion, CleanProgramFoldsNoLinesBackAt44Kilohertz) {
  // What the circuit's harmonics would fold back below 16 kHz at 44.1 kHz, through the clean
  // program's amplifier (its cabinet off: a cabinet's filtering would weigh the lines against the
  // tone), for -12 dBFS tones, after a second of settling.
  std::vector<float> clean(kFactoryPrograms[0].values, kFactoryPrograms[0].values + kNumParams);
  clean[kParamCab] = 0.0f;
  constexpr double kRate = 44100.0;
  constexpr int kSize = 32768;
  const int settle = static_cast<int>(kRate);
  for (double f : {1000.0, 2500.0, 5000.0, 8000.0}) {
    AmpModel m;
    m.setHostRate(static_cast<float>(kRate));
    const std::vector<float> in = measure::sine(f, kRate, settle + kSize, 0.25);
    const std::vector<float> out = measure::render(m, in, in, clean).left;
    const double line = strongestNonHarmonicDb(out, settle, kSize, f, kRate, 16000.0);
    std::cout << "rate conversion: clean program at 44.1 kHz, " << f << " Hz: strongest other line " << line
              << " dB\n";
    EXPECT_LE(line, -90.0) << f;
  }
}

TEST(RateConversion, ReportedDelayMatchesTheLinearPath) {
  for (double rate : {8000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0}) {
    const double delay = measure::linearPath(rate, 100.0).delay;
    const int reported = AmpModel::reportedDelay(static_cast<float>(rate));
    std::cout << "rate conversion: linear path delay at " << rate << " Hz: " << delay << " samples, reported "
              << reported << "\n";
    EXPECT_NEAR(delay, reported, 0.5) << rate;
    if (rate == 44100.0 || rate == 48000.0) {
      EXPECT_LE(reported / rate, 0.5e-3) << rate;
    }
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
