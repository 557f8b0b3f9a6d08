// Writes model/ValveData.cpp: the fitted coefficients and scale factors as C++ source.
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

  std::string source() const;
  bool write(const std::string& path) const;

  // Shortest decimal text that reads back as the same float, with an f suffix.
  static std::string floatLiteral(float value);
};
