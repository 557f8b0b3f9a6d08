#include "tools/valvefit/ValveElement.h"

#include <cmath>

namespace {

double softplus(double x) {
  return x > 40.0 ? x : std::log1p(std::exp(x));
}

}  // namespace

ElementCurrents ValveElement::law(double vgk, double vak) const {
  ElementCurrents c;
  if (law_.gg > 0.0) {
    c.grid = law_.gg * std::pow(softplus(law_.cg * vgk) / law_.cg, law_.xi);
  }
  if (vak <= 0.0) return c;
  double e1;
  if (law_.pentode) {
    // Koren pentode: E1 = (Vg2/kp) ln(1 + exp(kp (1/mu + vg/Vg2))), Ip = 2 E1^ex / kg1 * atan(va/kvb).
    e1 = law_.screen / law_.kp * softplus(law_.kp * (1.0 / law_.mu + vgk / law_.screen));
    c.plate = 2.0 * std::pow(e1, law_.ex) / law_.kg1 * std::atan(vak / law_.kvb);
  } else {
    // Koren triode: E1 = (Vp/kp) ln(1 + exp(kp (1/mu + Vg/sqrt(kvb + Vp^2)))), Ip = 2 E1^ex / kg1.
    e1 = vak / law_.kp * softplus(law_.kp * (1.0 / law_.mu + vgk / std::sqrt(law_.kvb + vak * vak)));
    c.plate = 2.0 * std::pow(e1, law_.ex) / law_.kg1;
  }
  return c;
}

double ValveElement::residualNorm(double vgk, double vak, double vx, double vc) const {
  ElementCurrents c = law(vgk, vak);
  double r1 = vgk + z_.zgg * c.grid + z_.zgp * c.plate - vx;
  double r2 = vak + z_.zgp * c.grid + z_.zpp * c.plate - vc;
  return std::hypot(r1, r2);
}

ElementCurrents ValveElement::solve(double vx, double vc) {
  // Newton's method on the electrode voltages, G(v) = v + Z I(v) - (vx, vc) = 0, with a
  // finite-difference Jacobian and step halving so the residual never grows.
  double vgk = haveStart_ ? vgk_ : vx;
  double vak = haveStart_ ? vak_ : vc;
  double norm = residualNorm(vgk, vak, vx, vc);
  for (int iteration = 0; iteration < 200 && norm > 1e-13; ++iteration) {
    ElementCurrents c = law(vgk, vak);
    double g1 = vgk + z_.zgg * c.grid + z_.zgp * c.plate - vx;
    double g2 = vak + z_.zgp * c.grid + z_.zpp * c.plate - vc;
    const double h = 1e-7;
    ElementCurrents cg = law(vgk + h, vak);
    ElementCurrents ca = law(vgk, vak + h);
    double dIgG = (cg.grid - c.grid) / h, dIpG = (cg.plate - c.plate) / h;
    double dIgA = (ca.grid - c.grid) / h, dIpA = (ca.plate - c.plate) / h;
    double j11 = 1.0 + z_.zgg * dIgG + z_.zgp * dIpG;
    double j12 = z_.zgg * dIgA + z_.zgp * dIpA;
    double j21 = z_.zgp * dIgG + z_.zpp * dIpG;
    double j22 = 1.0 + z_.zgp * dIgA + z_.zpp * dIpA;
    double det = j11 * j22 - j12 * j21;
    double d1 = (g1 * j22 - g2 * j12) / det;
    double d2 = (j11 * g2 - j21 * g1) / det;
    double step = 1.0;
    double next = norm;
    for (int halving = 0; halving < 60; ++halving) {
      next = residualNorm(vgk - step * d1, vak - step * d2, vx, vc);
      if (next < norm) break;
      step *= 0.5;
    }
    if (!(next < norm)) break;
    vgk -= step * d1;
    vak -= step * d2;
    norm = next;
  }
  haveStart_ = true;
  vgk_ = vgk;
  vak_ = vak;
  return law(vgk, vak);
}
