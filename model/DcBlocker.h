// The first-order DC blocker behind each circuit block: y = x - x[n-1] + R * y[n-1]. With the
// pole R = 0.996^0.25 at 192000 steps per second its corner lies near 31 Hz. F is float or
// Float4 (both channels at once).
#pragma once

#include <cmath>

template <typename F>
struct DcBlockerT {
  F xPrev = F{};
  F yPrev = F{};

  // Audio thread.
  F process(F x, float pole) {
    const F y = x - xPrev + pole * yPrev;
    xPrev = x;
    yPrev = y;
    return y;
  }
};

// The pole, computed the way the circuit's reset defines it.
inline float dcBlockerPole() {
  return std::exp(std::log(0.996f) * 0.25f);
}
