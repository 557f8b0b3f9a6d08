// Amplitude measurements of rendered audio.
#pragma once

#include <cstddef>
#include <vector>

// Magnitude spectrum (linear amplitude of a full-scale-calibrated sine) of `size` samples
// from `begin`, Blackman-Harris window; size a power of two.
std::vector<double> magnitudeSpectrum(const std::vector<float>& x, size_t begin, size_t size);
