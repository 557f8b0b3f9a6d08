// Test signals for measuring the plug-in from its renders.
#pragma once

#include <vector>

#include "tools/analyze/WaveFile.h"

// Log-spaced test frequencies from 20 Hz to 20 kHz (clipped below Nyquist).
std::vector<double> toneFrequencies(double rate);
// One segment per frequency: kToneSeconds of sine at the given amplitude.
constexpr double kToneSeconds = 0.25;
MonoSignal steppedTones(double rate, double amplitude);
MonoSignal sine(double rate, double frequency, double amplitude, double seconds);
// An exponential sine sweep from `from` to `to` Hz over `seconds`, at the given amplitude.
MonoSignal sweep(double rate, double from, double to, double amplitude, double seconds);
