// The host-rate linear filters around the circuit: the input transformer (a fixed second-order
// state-space section) and the output-transformer pair of 100 Hz peaking sections (a cut of
// 12 dB before the circuit and a lift of 12 dB after it).
#pragma once

// F is float, or the two-channel vector (see Lanes.h) while a block runs.
template <typename F>
struct InputTransformerStateT {
  F s1{};
  F s2{};
};
using InputTransformerState = InputTransformerStateT<float>;

// Coefficients of one peaking section (direct form, with the reciprocal of a0).
struct PeakingCoefficients {
  float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f, invA0 = 1.0f;
};

template <typename F>
struct PeakingStateT {
  F x1{}, x2{}, y1{}, y2{};
};
using PeakingState = PeakingStateT<float>;

class TransformerFilters {
 public:
  // Audio thread. The input transformer: unity gain at DC, a resonance of about +7.8 dB near
  // 5.1 kHz and -12.5 dB towards 22 kHz at a host rate of 44.1 kHz (its coefficients are fixed).
  // The same operations whether F is float or the vector of both channels.
  template <typename F>
  static F inputTransformer(InputTransformerStateT<F>& s, F x) {
    const F v = x * 1.7090122e-5f;
    const F s1 = 0.76370054f * s.s1 + 1.5073488f * s.s2 + v;
    const F s2 = -0.23629946f * s.s1 + 0.5073487f * s.s2 + v;
    const F y = 12193.052f * s1 + 10420.806f * s2 + 0.11814973f * x;
    s.s1 = s1;
    s.s2 = s2;
    return y;
  }

  // Audio thread. One step of a peaking section.
  template <typename F>
  static F peaking(const PeakingCoefficients& c, PeakingStateT<F>& s, F x) {
    const F y = (c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2) * c.invA0;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
  }

  // Dispatcher thread. The cut (-12 dB) and lift (+12 dB) sections at 100 Hz, Q = 1/1.414, for
  // host rate fs (the audio-EQ-cookbook peaking form).
  static void peakingPair(float fs, PeakingCoefficients& cut, PeakingCoefficients& lift);
};
