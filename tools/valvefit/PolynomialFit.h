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
  // object, so the normal equations are formed and factorised once here. `smoothing` is
  // the weight of the coefficient penalty relative to the mean squared misfit.
  PolynomialFit(const std::vector<double>& u, double smoothing);

  // Coefficients, lowest power first, each rounded to float, of the degree-20 polynomial f
  // that passes through f(+1) = 1 and minimises
  //     mean (f(u_i) - y_i)^2 + smoothing * sum_p c_p^2.
  // - The end constraint makes the table's top sample equal its scale factor, where the
  //   model continues the first element's currents linearly; an unconstrained fit of a
  //   curve with a sharp knee ends a few percent off.
  // - The penalty keeps the monomial coefficients small. The model sums powf(u, p) * c_p in
  //   float, so its rounding error grows with the partial sums: an unpenalised fit of a
  //   sharp knee has coefficients near 5e4 and evaluates with a sample-to-sample jitter of
  //   2 % of full scale near u = -1, which the circuit would hear as noise.
  // - The fit is solved in the Legendre basis P_k - 1 (k >= 1), which is well conditioned on
  //   -1..+1 unlike the monomials. Rounding each monomial coefficient to float, from the
  //   highest power down, is compensated in the lower powers by the best lower-degree
  //   approximation of the rounding error.
  std::array<float, kFitTerms> fit(const std::vector<double>& y) const;

 private:
  using Real = long double;
  std::vector<Real> basis_;                   // P_k(u_i) - 1, basis_[i * kFitDegree + k - 1]
  Real legendre_[kFitTerms][kFitTerms] = {};  // monomial coefficients of P_k: [k][power]
  Real lu_[kFitDegree][kFitDegree] = {};      // factorised normal-equation matrix
  int pivot_[kFitDegree] = {};
  Real penaltyOfOne_[kFitDegree] = {};  // smoothing * n * N^T e0 (the constant term)
};
