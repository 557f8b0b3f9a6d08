#include "model/ToneFilter.h"

#include <cmath>

ToneCoefficients ToneFilter::coefficients(float tone, float internalRate) {
  const float fc = tone * 19000.0f + 1000.0f;
  // The ratio in float, the product with pi in double, rounded to float.
  const float theta = static_cast<float>(static_cast<double>(fc / internalRate) * 3.141592653589793);
  const float s = std::sin(theta);
  const float k = std::cos(theta);
  ToneCoefficients c;
  c.b0 = s;
  c.a1 = s - k;
  c.g = 1.0f / (k + s);
  return c;
}
