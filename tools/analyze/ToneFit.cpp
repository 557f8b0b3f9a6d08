#include "tools/analyze/ToneFit.h"

#include <cmath>

namespace analysis {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

ToneFit fitTone(const float* y, size_t from, size_t to, double frequency, double rate) {
  double ss = 0, sc = 0, cc = 0, s1 = 0, c1 = 0, n = 0, ys = 0, yc = 0, y1 = 0;
  for (size_t i = from; i < to; ++i) {
    const double w = 2.0 * kPi * frequency * static_cast<double>(i) / rate;
    const double s = std::sin(w), c = std::cos(w);
    ss += s * s, sc += s * c, cc += c * c, s1 += s, c1 += c, n += 1;
    ys += y[i] * s, yc += y[i] * c, y1 += y[i];
  }
  // Solve the 3x3 normal equations [ss sc s1; sc cc c1; s1 c1 n] [a b d] = [ys yc y1].
  double m[3][4] = {{ss, sc, s1, ys}, {sc, cc, c1, yc}, {s1, c1, n, y1}};
  for (int col = 0; col < 3; ++col) {
    for (int row = col + 1; row < 3; ++row) {
      const double f = m[row][col] / m[col][col];
      for (int k = col; k < 4; ++k) m[row][k] -= f * m[col][k];
    }
  }
  double v[3];
  for (int row = 2; row >= 0; --row) {
    double acc = m[row][3];
    for (int k = row + 1; k < 3; ++k) acc -= m[row][k] * v[k];
    v[row] = acc / m[row][row];
  }
  double residual = 0;
  for (size_t i = from; i < to; ++i) {
    const double w = 2.0 * kPi * frequency * static_cast<double>(i) / rate;
    const double e = y[i] - v[0] * std::sin(w) - v[1] * std::cos(w) - v[2];
    residual += e * e;
  }
  return {std::hypot(v[0], v[1]), std::sqrt(residual / static_cast<double>(to - from)),
          std::atan2(-v[1], v[0])};
}

}  // namespace analysis
