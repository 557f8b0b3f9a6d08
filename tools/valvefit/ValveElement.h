// One valve element of the circuit as its current tables see it: a published valve law
// (Koren's triode or pentode equations, Dempwolf's grid-current law) seen through the
// element's own series impedances.
//
// The circuit model predicts each element's two table voltages without the element's own
// currents (the prediction rows leave those columns out), so the tabulated currents must
// already contain that self-loading: for open-circuit voltages (vx, vc) the electrode
// voltages are
//     vgk = vx - zgg * ig - zgp * ip,     vak = vc - zgp * ig - zpp * ip,
// and (ig, ip) is the solution of ig = Ig(vgk), ip = Ip(vgk, vak). zgp is the impedance
// both currents share (a cathode resistor or a long-tailed pair's tail).
#pragma once

struct ValveLaw {
  bool pentode = false;  // Koren pentode with a fixed screen voltage, else Koren triode
  double mu = 100.0;     // amplification factor
  double ex = 1.4;       // exponent of the space-charge law
  double kg1 = 1060.0;   // perveance divisor (ohm-like)
  double kp = 600.0;     // knee softness
  double kvb = 300.0;    // triode: knee voltage squared; pentode: plate knee voltage
  double screen = 0.0;   // pentode screen voltage
  // Dempwolf grid current gg * (softplus(cg * vgk) / cg)^xi; gg = 0 means no grid current.
  double gg = 0.0;
  double cg = 13.9;
  double xi = 1.354;
};

struct SelfImpedance {
  double zgg = 0.0;  // grid-circuit resistance seen by the grid current (ohms)
  double zgp = 0.0;  // resistance shared by grid and plate currents
  double zpp = 0.0;  // plate-circuit resistance seen by the plate current
};

struct ElementCurrents {
  double grid = 0.0;
  double plate = 0.0;
};

class ValveElement {
 public:
  ValveElement(const ValveLaw& law, const SelfImpedance& z) : law_(law), z_(z) {}

  // Bare valve law at electrode voltages (vgk, vak).
  ElementCurrents law(double vgk, double vak) const;

  // Currents for open-circuit table voltages (vx, vc). Successive calls along a sweep reuse
  // the previous solution as the starting point; reset() forgets it.
  ElementCurrents solve(double vx, double vc);
  void reset() { haveStart_ = false; }

 private:
  double residualNorm(double vgk, double vak, double vx, double vc) const;

  ValveLaw law_;
  SelfImpedance z_;
  bool haveStart_ = false;
  double vgk_ = 0.0;
  double vak_ = 0.0;
};
