#include "tools/valvefit/PolynomialFit.h"

#include <cmath>
#include <utility>

PolynomialFit::PolynomialFit(const std::vector<double>& u, double smoothing) {
  const size_t n = u.size();
  const int m = kFitDegree;  // unknowns a_1..a_20 of f = 1 + sum a_k (P_k - 1)

  legendre_[0][0] = 1;
  legendre_[1][1] = 1;
  for (int k = 1; k < kFitDegree; ++k) {
    for (int p = 0; p <= k + 1; ++p) {
      Real v = -k * legendre_[k - 1][p];
      if (p > 0) v += (2 * k + 1) * legendre_[k][p - 1];
      legendre_[k + 1][p] = v / (k + 1);
    }
  }

  basis_.assign(n * m, 0);
  for (size_t i = 0; i < n; ++i) {
    Real x = u[i], prev = 1, cur = x;
    basis_[i * m] = cur - 1;
    for (int k = 1; k < kFitDegree; ++k) {
      Real next = ((2 * k + 1) * x * cur - k * prev) / (k + 1);
      prev = cur;
      cur = next;
      basis_[i * m + k] = cur - 1;
    }
  }

  // Normal equations (B^T B + smoothing * n * N^T N) a = B^T (y - 1) - smoothing * n * N^T e0,
  // where c = e0 + N a are the monomial coefficients (column k of N: P_k's minus e0).
  const Real weight = static_cast<Real>(smoothing) * static_cast<Real>(n);
  auto monomialOfColumn = [this](int k, int p) { return legendre_[k + 1][p] - (p == 0 ? 1 : 0); };
  for (int a = 0; a < m; ++a) {
    for (int b = 0; b < m; ++b) {
      Real data = 0, penalty = 0;
      for (size_t i = 0; i < n; ++i) data += basis_[i * m + a] * basis_[i * m + b];
      for (int p = 0; p < kFitTerms; ++p) penalty += monomialOfColumn(a, p) * monomialOfColumn(b, p);
      lu_[a][b] = data + weight * penalty;
    }
    penaltyOfOne_[a] = weight * monomialOfColumn(a, 0);
  }
  // LU with partial pivoting, once for every curve.
  for (int c = 0; c < m; ++c) {
    int p = c;
    for (int r = c + 1; r < m; ++r) {
      if (std::fabs(lu_[r][c]) > std::fabs(lu_[p][c])) p = r;
    }
    pivot_[c] = p;
    for (int j = 0; j < m; ++j) std::swap(lu_[c][j], lu_[p][j]);
    for (int r = c + 1; r < m; ++r) {
      lu_[r][c] /= lu_[c][c];
      for (int j = c + 1; j < m; ++j) lu_[r][j] -= lu_[r][c] * lu_[c][j];
    }
  }
}

std::array<float, kFitTerms> PolynomialFit::fit(const std::vector<double>& y) const {
  const int m = kFitDegree;
  const size_t n = y.size();
  Real rhs[kFitDegree];
  for (int a = 0; a < m; ++a) {
    Real s = 0;
    for (size_t i = 0; i < n; ++i) s += basis_[i * m + a] * (y[i] - 1);
    rhs[a] = s - penaltyOfOne_[a];
  }
  for (int c = 0; c < m; ++c) std::swap(rhs[c], rhs[pivot_[c]]);
  for (int r = 1; r < m; ++r) {
    for (int j = 0; j < r; ++j) rhs[r] -= lu_[r][j] * rhs[j];
  }
  Real a[kFitDegree];
  for (int r = m - 1; r >= 0; --r) {
    Real s = rhs[r];
    for (int j = r + 1; j < m; ++j) s -= lu_[r][j] * a[j];
    a[r] = s / lu_[r][r];
  }

  Real c[kFitTerms] = {1};
  for (int k = 0; k < m; ++k) {
    for (int p = 0; p < kFitTerms; ++p) c[p] += a[k] * (legendre_[k + 1][p] - (p == 0 ? 1 : 0));
  }
  std::array<float, kFitTerms> coef{};
  Real sum = 0;
  for (int p = kFitDegree; p >= 1; --p) {
    coef[p] = static_cast<float>(c[p]);
    // The rounding error d u^p is replaced by d P_p / lead_p: its lower-degree part moves into
    // the lower powers, which leaves a change smaller by the leading coefficient of P_p.
    Real d = static_cast<Real>(coef[p]) - c[p];
    for (int q = 0; q < p; ++q) c[q] += d * legendre_[p][q] / legendre_[p][p];
    sum += coef[p];
  }
  coef[0] = static_cast<float>(1 - sum);  // keeps f(+1) = 1 through the roundings
  return coef;
}
