// Test signals and what the battery measures in the output: non-finite samples, the peak,
// the amplitude of one frequency, harmonic distortion.
#pragma once

#include <cstddef>

namespace reliability {

// amplitude * sin(2 pi f (start + i) / rate) for i in [0, n).
void fillSine(float* x, int n, double frequency, double rate, float amplitude, long long start = 0);

bool allFinite(const float* x, int n);
float peak(const float* x, int n);

// The amplitude of the component at `frequency` over n samples (the analysis tool's fit).
double toneAmplitude(const float* x, int n, double frequency, double rate);
// sqrt(sum of harmonics 2..10 squared) / fundamental, harmonics above 0.45 rate left out.
double harmonicDistortion(const float* x, int n, double frequency, double rate);

}  // namespace reliability
