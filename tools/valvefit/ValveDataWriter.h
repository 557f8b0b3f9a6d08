// Writes the fitted coefficients and scale factors as the two data tables model/ValveData.cpp
// includes: the initialisers of kValveCoefficients and kValveScales, numbers only.
#pragma once

#include <string>

#include "tools/valvefit/ValveBanks.h"

class ValveDataWriter {
 public:
  // coefficients[bank][curve][power], lowest power first; text entries, when not null,
  // replace the number with the given decimal text (values written exactly as given).
  struct Entry {
    float value = 0.0f;
    const char* text = nullptr;
  };
  Entry coefficients[kBankCount][kCurveCount][21];
  Entry scales[kBankCount][kCurveCount];

  static constexpr const char* kCoefficientFile = "ValveCoefficients.inc";
  static constexpr const char* kScaleFile = "ValveScales.inc";

  std::string coefficientTable() const;
  std::string scaleTable() const;
  // Writes both tables into folder (model/ for the committed ones).
  bool write(const std::string& folder) const;

  // Shortest decimal text that reads back as the same float, with an f suffix.
  static std::string floatLiteral(float value);
};
