#include "tools/valvefit/PolynomialFit.h"

#include <cmath>

PolynomialFit::PolynomialFit(const std::vector<double>& u) : u_(u.begin(), u.end()) {
  const size_t n = u_.size();
  // Columns P_k(u) - 1, k = 1..20, by the three-term recurrence; all vanish at u = +1.
  q_.assign(n * kFitDegree, 0);
  for (size_t i = 0; i < n; ++i) {
    Real x = u_[i];
    Real prev = 1, cur = x;
    q_[i] = cur - 1;
    for (int k = 1; k < kFitDegree; ++k) {
      Real next = ((2 * k + 1) * x * cur - k * prev) / (k + 1);
      prev = cur;
      cur = next;
      q_[k * n + i] = cur - 1;
    }
  }
  leading_[0] = 1;
  for (int k = 0; k < kFitDegree; ++k) leading_[k + 1] = leading_[k] * (2 * k + 1) / (k + 1);

  // Gram-Schmidt, each column orthogonalised twice against the previous ones (as accurate
  // as Householder for these well-conditioned columns). A leading block of the factors is
  // the factorisation of the lower-degree basis, so one pass serves every degree.
  for (int k = 1; k <= kFitDegree; ++k) {
    Real* col = &q_[(k - 1) * n];
    for (int pass = 0; pass < 2; ++pass) {
      for (int j = 1; j < k; ++j) {
        const Real* qj = &q_[(j - 1) * n];
        Real dot = 0;
        for (size_t i = 0; i < n; ++i) dot += qj[i] * col[i];
        for (size_t i = 0; i < n; ++i) col[i] -= dot * qj[i];
        r_[j][k] += dot;
      }
    }
    Real norm = 0;
    for (size_t i = 0; i < n; ++i) norm += col[i] * col[i];
    norm = std::sqrt(norm);
    for (size_t i = 0; i < n; ++i) col[i] /= norm;
    r_[k][k] = norm;
  }
}

std::array<float, kFitTerms> PolynomialFit::fit(const std::vector<double>& y) const {
  const size_t n = u_.size();
  std::array<float, kFitTerms> coef{};
  std::vector<Real> residual(y.begin(), y.end());
  Real top = 1;  // what the powers not yet fixed must add up to at u = +1
  for (int p = kFitDegree; p >= 1; --p) {
    // Constrained least squares of degree p to what the fixed higher powers leave:
    // f = top + sum a_k (P_k - 1). Only a_p is needed, and the triangular factor's last
    // row gives it directly.
    const Real* qp = &q_[(p - 1) * n];
    Real b = 0;
    for (size_t i = 0; i < n; ++i) b += qp[i] * (residual[i] - top);
    float c = static_cast<float>(b / r_[p][p] * leading_[p]);
    coef[p] = c;
    top -= c;
    for (size_t i = 0; i < n; ++i) residual[i] -= static_cast<Real>(c) * std::pow(u_[i], p);
  }
  coef[0] = static_cast<float>(top);
  return coef;
}
