#include "model/TransformerFilters.h"

#include <cmath>

namespace {

void peakingSet(float w, float a, PeakingCoefficients& c) {
  const float cw = std::cos(w);
  const float alpha = std::sin(w) / 1.414f;
  c.b0 = 1.0f + alpha * a;
  c.b1 = -2.0f * cw;
  c.b2 = 1.0f - alpha * a;
  c.a1 = -2.0f * cw;
  c.a2 = 1.0f - alpha / a;
  c.invA0 = 1.0f / (1.0f + alpha / a);
}

}  // namespace

void TransformerFilters::peakingPair(float fs, PeakingCoefficients& cut, PeakingCoefficients& lift) {
  // The division in float, the product with 2*pi in double, rounded to float.
  const float w = static_cast<float>(static_cast<double>(100.0f / fs) * 6.283185307179586);
  peakingSet(w, std::sqrt(std::pow(10.0f, -0.6f)), cut);
  peakingSet(w, std::sqrt(std::pow(10.0f, 0.6f)), lift);
}
