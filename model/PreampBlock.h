// The preamp block: two triode elements (element 1 reads banks 0/1, element 2 banks 2/3), the
// network around them and the supply input, discretised at 192000 steps per second into an
// explicit state-space step with tabulated currents (predict, read, update, output; no
// iteration).
#pragma once

#include "model/CircuitMatrices.h"
#include "model/DcBlocker.h"
#include "model/Lanes.h"

class ValveTables;

// F is float (one channel) or Float4 (both channels at once; that form is in
// PreampBlockLanes.h).
template <typename F>
struct PreampStateT {
  F x[8] = {};  // x6 holds the power block's feedback z of the previous step
  F i1a = F{}, i1b = F{}, i2a = F{}, i2b = F{};
  DcBlockerT<F> dc;
  // The last predicted table voltages p1x, p1c, p2x, p2c, kept for inspection (operating point).
  F prediction[4] = {};
};
using PreampState = PreampStateT<float>;

template <typename F>
struct PreampResultT {
  F tap;         // the DC-blocked output (the preamp tap)
  F powerInput;  // the tap divided by the drive, to the power block
  F coupling;    // yb, the power block's s10
};

// The columns of the preamp matrices as the state holds them at the moment of reading, with the
// step's inputs: the predictions read the previous step's currents, the state update the new
// currents and the old state (all its rows are summed before any is stored), the outputs the new
// state. A view, so the columns need not be copied for each set of rows.
template <typename F>
struct PreampColumns {
  const PreampStateT<F>& s;
  F vin;
  F vs;
  F operator[](int k) const {
    switch (k) {
      case preamp_circuit::kVin:
        return vin;
      case preamp_circuit::kVs:
        return vs;
      case preamp_circuit::kI1a:
        return s.i1a;
      case preamp_circuit::kI1b:
        return s.i1b;
      case preamp_circuit::kI2a:
        return s.i2a;
      case preamp_circuit::kI2b:
        return s.i2b;
      default:
        return s.x[k];
    }
  }
};

class PreampBlock {
 public:
  // Audio thread, once per internal step and channel. toneOut is the tone low-pass output;
  // drive is 8 (preamp tap) or 1; supplyNode and feedback are the power block's S and z of the
  // previous step.
  template <typename F>
  static PreampResultT<F> process(PreampStateT<F>& s, const ValveTables& tables, F toneOut, float drive,
                                  float invDrive, bool supplyOn, F supplyNode, F feedback, float dcPole);

  // The element-1 currents above the top of its table (20 V) continue linearly with these
  // slopes (A/V).
  static constexpr double kSlope1a = 1.43245574543015e-5;
  static constexpr double kSlope1b = 4.75537924389167e-5;
};
