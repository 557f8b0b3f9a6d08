// Least-squares polynomial fit of one sampled curve, delivered as float monomial
// coefficients that hold up when the model evaluates them in single precision.
#pragma once

#include <array>
#include <vector>

constexpr int kFitDegree = 20;
constexpr int kFitTerms = kFitDegree + 1;

class PolynomialFit {
 public:
  // The sample positions u (within -1..+1) are shared by every curve fitted with this
  // object, so the orthogonal factorisation is computed once here.
  explicit PolynomialFit(const std::vector<double>& u);

  // Coefficients of the degree-20 least-squares fit to y(u) that passes through y = 1 at
  // u = +1, lowest power first, each rounded to float. The constraint makes the table's top
  // sample equal its scale factor, where the model continues the first element's currents
  // linearly; without it a sharp knee leaves the fit's end a few percent off. The fit is made
  // in a Legendre basis, P_k - 1 for k >= 1 (well conditioned on -1..+1, unlike the
  // monomials); the monomial coefficients are then fixed one at a time from the highest power
  // down and every rounding is absorbed by refitting the lower powers, so the float
  // polynomial stays the least-squares fit up to a tiny error.
  std::array<float, kFitTerms> fit(const std::vector<double>& y) const;

 private:
  using Real = long double;
  std::vector<Real> u_;
  std::vector<Real> q_;                // orthonormal columns for P_1 - 1 .. P_20 - 1, q_[(k - 1) * n + i]
  Real r_[kFitTerms][kFitTerms] = {};  // r_[j][k]: factor entries, indices by Legendre degree
  Real leading_[kFitTerms] = {};       // leading monomial coefficient of Legendre P_k
};
