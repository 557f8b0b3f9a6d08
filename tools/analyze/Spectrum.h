// Amplitude measurements of rendered audio.
#pragma once

#include <cstddef>
#include <vector>

// Magnitude spectrum (linear amplitude of a full-scale-calibrated sine) of `size` samples
// from `begin`, Blackman-Harris window; size a power of two.
std::vector<double> magnitudeSpectrum(const std::vector<float>& x, size_t begin, size_t size);

// The strongest spectral line from 50 Hz to `below` Hz that is not a harmonic of `frequency`, in
// dB against the tone, over `size` samples from `begin`. The tone and its harmonics up to half
// the rate are fitted by least squares and removed first, so neither they nor the window's side
// lobes around them count; what aliasing folds back between them does.
double strongestNonHarmonicDb(const std::vector<float>& x, size_t begin, size_t size, double frequency,
                              double rate, double below);
