// The built-in cabinets: each a magnitude response designed from how guitar loudspeakers and
// their cabinets behave (the speaker's low resonance, a closed back's firm low end or an open
// back's thinner one, the cone's break-up peaks, the steep fall above them, the microphone's
// distance and angle), turned into a minimum-phase impulse response at the host rate and set to
// the loudness every cabinet shares. Any thread but the audio thread (it allocates).
#pragma once

#include <vector>

namespace CabinetDesign {

constexpr int kBuiltIns = 4;
// Short names, as the host shows them (at most 7 characters).
constexpr const char* kNames[kBuiltIns] = {"4x12", "2x12", "1x12", "1x10"};

// The designed magnitude (linear) of cabinet 0..3 at frequency f (Hz).
double magnitude(int cabinet, double f);

// The response of cabinet 0..3 at the rate, loudness-matched. Empty when memory runs out.
std::vector<float> impulse(int cabinet, float rate);

// The factor that brings a response at the rate to the shared loudness: its power gain weighted
// by the spectrum of a driven guitar amplifier's output, made 1. User responses get the same.
// 0 for a response with no power where the weighting has any (silent, or all above 20 kHz).
float loudnessFactor(const float* taps, int length, float rate);

}  // namespace CabinetDesign
