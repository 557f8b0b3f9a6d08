// The 8th-order recursive low-pass of the rate conversion, run at the internal rate of 192 kHz
// as both the anti-imaging filter behind the host-rate interpolation and the anti-aliasing
// filter in front of the host-rate pick: pass band within -0.21..+0.01 dB up to 24 kHz, about -3 dB at
// 24.5 kHz, at least 57 dB down from 30 kHz and 80 dB from 35 kHz.
#pragma once

template <typename F>
struct ResamplerStateT {
  F x[8] = {};  // x[n-1] .. x[n-8]
  F y[8] = {};  // y[n-1] .. y[n-8]
};
using ResamplerState = ResamplerStateT<float>;

class ResamplingFilter {
 public:
  // Audio thread. y[n] = sum b_k x[n-k] + sum a_k y[n-k] (the a_k are added as listed, i.e. the
  // denominator is 1 - sum a_k z^-k), accumulated in that order.
  template <typename F>
  static F process(ResamplerStateT<F>& s, F x) {
    F y = kB[0] * x;
    for (int k = 0; k < 8; ++k) y = y + kB[k + 1] * s.x[k];
    for (int k = 0; k < 8; ++k) y = y + kA[k] * s.y[k];
    for (int k = 7; k > 0; --k) {
      s.x[k] = s.x[k - 1];
      s.y[k] = s.y[k - 1];
    }
    s.x[0] = x;
    s.y[0] = y;
    return y;
  }

 private:
  static constexpr float kB[9] = {0.0009299486f,  -0.0005963771f, 0.002155852f,
                                  -0.0003243943f, 0.002212866f,   -0.0003243943f,
                                  0.002155852f,   -0.0005963771f, 0.0009299486f};
  static constexpr float kA[8] = {5.656637f,  -15.062768f, 24.344265f, -25.960777f,
                                  18.640486f, -8.786409f,  2.4853153f, -0.32344225f};
};
