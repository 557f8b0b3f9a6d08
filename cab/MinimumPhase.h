// The minimum-phase impulse response of a magnitude response, by the folded real cepstrum: the
// logarithm of the magnitude, transformed back, folded onto positive quefrencies, exponentiated
// in the frequency domain. Any thread but the audio thread (it allocates).
#pragma once

#include <vector>

namespace MinimumPhase {

// magnitude: size/2 + 1 values from 0 Hz to half the rate (size a power of two, at least 64).
// Answers the first `taps` samples of the response (taps <= size), the last quarter faded out
// with half a Hann window so the cut adds no ripple of its own; empty when memory runs out.
std::vector<float> impulse(const std::vector<float>& magnitude, int size, int taps);

}  // namespace MinimumPhase
