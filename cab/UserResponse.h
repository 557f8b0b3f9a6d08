// A user's impulse response made ready for the convolver at the host rate: resampled (with the
// resampling library, from its own rate), cut at 1 s with a short fade, and set to the loudness
// the built-in cabinets share. Any thread but the audio thread (it allocates).
#pragma once

#include <vector>

namespace UserResponse {

// The rates a response may come at.
constexpr double kLowestRate = 8000.0;
constexpr double kHighestRate = 384000.0;
// The longest part used, and the fade that ends a longer response.
constexpr double kLongestSeconds = 1.0;
constexpr double kFadeSeconds = 0.01;

// The taps at hostRate, or empty with *error set to one line saying why the samples cannot be
// used (none, not finite, silent, a rate outside kLowestRate..kHighestRate, no memory). *cut is
// set when the response was longer than kLongestSeconds.
std::vector<float> conform(const float* samples, long count, double rate, float hostRate, const char** error,
                           bool* cut = nullptr);

}  // namespace UserResponse
