// The tone low-pass in front of the preamp block: a first-order bilinear low-pass at the
// internal rate whose corner, prewarped, runs from 1 kHz (tone 0) to 20 kHz (tone 1).
#pragma once

struct ToneCoefficients {
  float b0 = 0.0f;  // b1 equals b0
  float a1 = 0.0f;
  float g = 1.0f;
};

template <typename F>
struct ToneStateT {
  F x1 = F{};
  F y1 = F{};
};
using ToneState = ToneStateT<float>;

class ToneFilter {
 public:
  // Dispatcher thread. tone in 0..1, internalRate in Hz.
  static ToneCoefficients coefficients(float tone, float internalRate);

  // Audio thread, once per internal step: unity gain at DC, zero at the internal Nyquist rate.
  template <typename F>
  static F process(const ToneCoefficients& c, ToneStateT<F>& s, F x) {
    const F y = (c.b0 * x + c.b0 * s.x1 - c.a1 * s.y1) * c.g;
    s.x1 = x;
    s.y1 = y;
    return y;
  }
};
