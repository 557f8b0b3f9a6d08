// The ten current tables the circuit model reads: which element and which of its currents
// each holds, over which voltage ranges, and the values the tables must reproduce as given.
#pragma once

#include "tools/valvefit/ValveElement.h"

constexpr int kBankCount = 10;
constexpr int kCurveCount = 10;

struct BankDefinition {
  int element;        // index into valveElements()
  bool gridCurrent;   // the element's grid current, else its plate current
  double sampleLow;   // sample-axis voltage at u = -1
  double sampleSpan;  // sample-axis range (u = +1 at sampleLow + sampleSpan)
  double curveLow;    // curve-axis voltage of curve 0
  double curveSpan;   // curve 9 at curveLow + curveSpan
};

// The five element types: the two preamp triodes, the phase-inverter pair and the output
// valve (both valves of the push-pull pair).
constexpr int kElementCount = 5;
ValveElement valveElement(int element);

// The parts valveElement() is made of (the calibration mode varies them).
ValveLaw triodeLaw();       // elements 0..3
ValveLaw outputValveLaw();  // element 4
SelfImpedance selfImpedance(int element);

const BankDefinition& bankDefinition(int bank);

// Values given as decimal text, written out exactly as given. Null where the tool chooses.
// fixedCoefficient(bank, curve, power) with power 0..20; fixedScale(bank, curve).
const char* fixedCoefficient(int bank, int curve, int power);
const char* fixedScale(int bank, int curve);

// Banks whose scale factors rise in equal steps between two given end values (the output
// valves): the tool fills the steps in between.
bool scaleInEqualSteps(int bank);

// A bank that holds another bank's currents times mirrorRatio(bank) (the second output
// valve), or -1. Its coefficients are the other bank's times that ratio: the least-squares
// fit is linear in the data, and refitting would round differently and lose the agreement.
int mirroredBank(int bank);
double mirrorRatio(int bank);
