// The tone at one frequency in a span of samples, fitted by least squares on a sine, a cosine
// and a constant: exact for a pure tone over any span, not just whole periods. The analysis
// tool's measurements and the tests' all use this one fit.
#pragma once

#include <cstddef>

namespace analysis {

struct ToneFit {
  double amplitude;
  double residualRms;  // what is left after removing the tone and the mean
  double lag;          // radians the tone lags a sine starting at sample 0, in -pi..pi
};

// The fit over y[from, to); sample i is at time i / rate.
ToneFit fitTone(const float* y, size_t from, size_t to, double frequency, double rate);

}  // namespace analysis
