// With the mix at 0 the plug-in is a linear path: the host signal interpolated at each internal
// step's time into the up-sampling low-pass, the down-sampling low-pass, the interpolation back to
// the host rate, times the volume. Its level, its response and its spurious content are measured
// here; the figures are printed.
#include <gtest/gtest.h>

#include <iostream>

#include "model/AmpModel.h"
#include "model/ResamplingFilter.h"
#include "tests/native/model/Signal.h"

namespace {

// The two resampling low-passes' loss at frequency, measured on the filter itself.
double resamplerPairDb(double frequency) {
  ResamplerState s;
  return 2.0 * measure::gainDb([&](float x) { return ResamplingFilter::process(s, x); }, frequency, 192000.0);
}

TEST(LinearPath, OneKilohertzComesOutAtTheVolumeLessThePassBandLoss) {
  const double expected = resamplerPairDb(1000.0);
  EXPECT_NEAR(expected, -0.4, 0.1);
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const measure::PathFit f = measure::linearPath(rate, 1000.0);
    EXPECT_NEAR(f.gainDb, expected, 0.5) << rate;
    std::cout << "linear path at " << rate << " Hz: 1 kHz gain " << f.gainDb << " dB (expected " << expected
              << " dB)\n";
  }
}

TEST(LinearPath, EveryHostRateFromEightTo384KilohertzWorks) {
  for (double rate : {8000.0, 11025.0, 22050.0, 88200.0, 176400.0, 192000.0, 352800.0, 384000.0}) {
    const measure::PathFit f = measure::linearPath(rate, 1000.0, 0.5);
    EXPECT_NEAR(f.gainDb, -0.4, 1.0) << rate;
    EXPECT_LT(f.spuriousDb, -20.0) << rate;
    std::cout << "linear path at " << rate << " Hz: 1 kHz gain " << f.gainDb << " dB, spurious "
              << f.spuriousDb << " dB\n";
  }
}

TEST(LinearPath, ResponseAndSpuriousContentReport) {
  for (double rate : {44100.0, 48000.0}) {
    std::cout << "linear path response at " << rate << " Hz:";
    double lo = 1e9, hi = -1e9, loTo10k = 1e9, loTo18k = 1e9;
    for (double f :
         {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 15000.0, 18000.0, 20000.0}) {
      const measure::PathFit p = measure::linearPath(rate, f, 0.5);
      lo = std::min(lo, p.gainDb), hi = std::max(hi, p.gainDb);
      if (f <= 10000.0) loTo10k = std::min(loTo10k, p.gainDb);
      if (f <= 18000.0) loTo18k = std::min(loTo18k, p.gainDb);
      std::cout << " " << f << ":" << p.gainDb;
    }
    std::cout << " dB\n";
    // The host-rate interpolation droops towards the host's Nyquist rate (about -3.6 dB at
    // 18 kHz for 44.1 kHz). At 44.1 kHz the image of a 20 kHz tone (24.1 kHz) lies in the
    // resampling low-passes' transition band, returns onto the tone at the host rate and partly
    // cancels it (about -10 dB); at 48 kHz 20 kHz comes out at about -4 dB.
    EXPECT_GT(loTo10k, -1.0) << rate;
    EXPECT_GT(loTo18k, -4.0) << rate;
    EXPECT_GT(lo, -12.0) << rate;
    EXPECT_LT(hi, 0.5) << rate;
    for (double f : {1000.0, 10000.0}) {
      const measure::PathFit p = measure::linearPath(rate, f);
      std::cout << "linear path at " << rate << " Hz: spurious content for " << f << " Hz: " << p.spuriousDb
                << " dB\n";
      EXPECT_LT(p.spuriousDb, -10.0);
    }
  }
}

}  // namespace
