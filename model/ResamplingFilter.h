// The down-sampling low-pass of the rate conversion, run at the internal rate of 192 kHz in front
// of the read at the host's times: an 8th-order elliptic low-pass, pass band within -0.21..0 dB up
// to 24 kHz, about -3 dB at 24.5 kHz, at least 57 dB down from 30 kHz and 80 dB from 35 kHz.
//
// It runs as four second-order sections (its poles paired with their nearest zeros, the sharpest
// pair last). The same filter in one 8th-order recursion loses its accuracy to rounding: with
// poles at a radius of 0.975 each step's rounding error grows to about -70 dB in single
// precision. Each section's own rounding stays near -125 dB.
#pragma once

#include "model/Lanes.h"

template <typename F>
struct ResamplerStateT {
  F x[2] = {};     // the input's last two values, newest first
  F y[4][2] = {};  // each section's last two outputs (the next section's inputs), newest first
};
using ResamplerState = ResamplerStateT<float>;

class ResamplingFilter {
 public:
  // Audio thread, once per internal step: each section y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2,
  // the zeros on the unit circle (b0 = b2) summed first.
  template <typename F>
  static F process(ResamplerStateT<F>& s, F x) {
    F x1 = s.x[0];
    F x2 = s.x[1];
    s.x[1] = x1;
    s.x[0] = x;
    F in = x;
    for (int k = 0; k < 4; ++k) {
      const F y1 = s.y[k][0];
      const F y2 = s.y[k][1];
      const F y = kB0[k] * (in + x2) + kB1[k] * x1 + kA1[k] * y1 + kA2[k] * y2;
      s.y[k][1] = y1;
      s.y[k][0] = y;
      x1 = y1;
      x2 = y2;
      in = y;
    }
    return in;
  }

 private:
  // The numerator of each section is b0 (1, b1 / b0, 1); the recursive weights are -a1 and -a2.
  static constexpr float kB0[4] = {9.2994858e-4f, 1.0f, 1.0f, 1.0f};
  static constexpr float kB1[4] = {1.3187127e-3f, -0.21534272f, -0.82885798f, -1.0151496f};
  static constexpr float kA1[4] = {1.4894642f, 1.4293226f, 1.3726822f, 1.3651682f};
  static constexpr float kA2[4] = {-0.58052422f, -0.69858990f, -0.83901677f, -0.95056859f};
};
