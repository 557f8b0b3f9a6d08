// valvefit --calibrate: re-derives the valve parameters the tool uses (ValveBanks.cpp) from
// the given data and the described maxima, and prints them with the remaining mismatches.
// The generator itself uses the rounded values written in ValveBanks.cpp, so its output
// never depends on an optimiser; this mode documents where those values come from.
#pragma once

class ParameterCalibration {
 public:
  // Runs the three calibrations (the 12AX7 grid current with the first preamp element's
  // impedances, the second preamp element's impedances, the output valve) and prints the
  // results on stdout. Takes about a minute.
  static void run();
};
