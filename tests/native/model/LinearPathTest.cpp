// With the mix at 0 the plug-in is a linear path: the host signal read at each internal step's
// time, the down-sampling low-pass, the read back at the host's times, times the volume. Its
// level at every host rate is measured here (its response and error in RateConversionTest); the
// figures are printed.
#include <gtest/gtest.h>

#include <iostream>

#include "model/AmpModel.h"
#include "model/ResamplingFilter.h"
#include "tests/native/model/Signal.h"

namespace {

// The down-sampling low-pass's loss at frequency, measured on the filter itself.
double resamplerDb(double frequency) {
  ResamplerState s;
  return measure::gainDb([&](float x) { return ResamplingFilter::process(s, x); }, frequency, 192000.0);
}

TEST(LinearPath, OneKilohertzComesOutAtTheVolumeLessThePassBandLoss) {
  const double expected = resamplerDb(1000.0);
  EXPECT_NEAR(expected, -0.18, 0.05);
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const measure::PathFit f = measure::linearPath(rate, 1000.0);
    EXPECT_NEAR(f.gainDb, expected, 0.02) << rate;
    std::cout << "linear path at " << rate << " Hz: 1 kHz gain " << f.gainDb << " dB (expected " << expected
              << " dB)\n";
  }
}

}  // namespace
