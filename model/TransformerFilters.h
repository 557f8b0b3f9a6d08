// The host-rate linear filters around the circuit: the input transformer (a fixed second-order
// state-space section) and the output-transformer pair of 100 Hz peaking sections (a cut of
// 12 dB before the circuit and a lift of 12 dB after it).
#pragma once

struct InputTransformerState {
  float s1 = 0.0f;
  float s2 = 0.0f;
};

// Coefficients of one peaking section (direct form, with the reciprocal of a0).
struct PeakingCoefficients {
  float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f, invA0 = 1.0f;
};

struct PeakingState {
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
};

class TransformerFilters {
 public:
  // Audio thread. The input transformer: unity gain at DC, a resonance of about +7.8 dB near
  // 5.1 kHz and -12.5 dB towards 22 kHz at a host rate of 44.1 kHz (its coefficients are fixed).
  static float inputTransformer(InputTransformerState& s, float x) {
    const float v = x * 1.7090122e-5f;
    const float s1 = 0.76370054f * s.s1 + 1.5073488f * s.s2 + v;
    const float s2 = -0.23629946f * s.s1 + 0.5073487f * s.s2 + v;
    const float y = 12193.052f * s1 + 10420.806f * s2 + 0.11814973f * x;
    s.s1 = s1;
    s.s2 = s2;
    return y;
  }

  // Audio thread. One step of a peaking section.
  static float peaking(const PeakingCoefficients& c, PeakingState& s, float x) {
    const float y = (c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2) * c.invA0;
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
