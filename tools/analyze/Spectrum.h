// Amplitude measurements of rendered audio.
#pragma once

#include <cstddef>
#include <vector>

// Amplitude of the sinusoid at `frequency` in x[begin, end) by a least-squares fit of a sine,
// a cosine and an offset; exact for a pure tone over any span, not just whole periods.
double toneAmplitude(const std::vector<float>& x, size_t begin, size_t end, double frequency, double rate);

// Magnitude spectrum (linear amplitude of a full-scale-calibrated sine) of `size` samples
// from `begin`, Blackman-Harris window; size a power of two.
std::vector<double> magnitudeSpectrum(const std::vector<float>& x, size_t begin, size_t size);
