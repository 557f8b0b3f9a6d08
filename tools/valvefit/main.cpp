// valvefit: generates the polynomial fits of the valve current tables, the two data tables
// model/ValveData.cpp includes (ValveCoefficients.inc, ValveScales.inc).
//
//   valvefit FOLDER                write the tables into FOLDER (the committed ones: model)
//   valvefit FOLDER --report       also check every curve at all 44100 table samples the way
//                                  the model evaluates it (float, powf) and print the errors
//   valvefit --calibrate           re-derive the valve parameters from the given data
//
// For each bank and curve the element's current is computed along the sample axis at every
// tenth table sample (and the last), normalised by its value at the top of the axis, fitted
// with a degree-20 polynomial and stored with a scale factor. Scale factors are the computed
// top values except where given values exist (banks 0, 1, 8 and 9).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/valvefit/ParameterCalibration.h"
#include "tools/valvefit/PolynomialFit.h"
#include "tools/valvefit/ValveBanks.h"
#include "tools/valvefit/ValveDataWriter.h"

namespace {

constexpr int kSamples = 44100;     // table samples per curve
constexpr int kLastSample = 44099;  // u = +1
constexpr int kFitStride = 10;
// Coefficient penalty of the fits (see PolynomialFit). At 1e-12 the single-precision
// evaluation error drops about thirtyfold, to 3e-4 of full scale at most, while the largest
// fit error of the sharpest knee grows from 3.6 % to 4.4 %.
constexpr double kSmoothing = 1e-12;

// The table's sample positions exactly as the model computes them.
float tableU(int i) {
  const float x = 2.0f / 44099.0f;
  return static_cast<float>(i) * x - 1.0f;
}

// The model's single-precision evaluation of a fitted curve.
float evaluate(const float* coef, float u) {
  float s = 0.0f;
  for (int p = 0; p < 21; ++p) s = s + std::pow(u, static_cast<float>(p)) * coef[p];
  return s;
}

std::vector<int> fitSamples() {
  std::vector<int> samples;
  for (int i = 0; i < kLastSample; i += kFitStride) samples.push_back(i);
  samples.push_back(kLastSample);
  return samples;
}

// The bank's current along curve `curve` at the given table samples (ascending).
std::vector<double> curveCurrents(int bank, int curve, const std::vector<int>& samples) {
  const BankDefinition& def = bankDefinition(bank);
  ValveElement element = valveElement(def.element);
  double vc = def.curveLow + def.curveSpan * curve / (kCurveCount - 1);
  std::vector<double> current;
  current.reserve(samples.size());
  for (int i : samples) {
    double vx = def.sampleLow + def.sampleSpan * i / kLastSample;
    ElementCurrents c = element.solve(vx, vc);
    current.push_back((def.gridCurrent ? c.grid : c.plate) * mirrorRatio(bank));
  }
  return current;
}

struct CurveReport {
  double maxError = 0.0;     // max |float polynomial - normalised curve| over all samples
  double maxRounding = 0.0;  // max |float - double evaluation| of the same polynomial
  double sum = 0.0;          // coefficient sum (value at u = +1)
  double topRatio = 0.0;     // computed top value / scale factor used
  double minSlope = 0.0;     // most negative step of the table along the sample axis
};

CurveReport check(int bank, int curve, const ValveDataWriter& data, double top) {
  std::vector<int> all(kSamples);
  for (int i = 0; i < kSamples; ++i) all[i] = i;
  std::vector<double> y = curveCurrents(bank, curve, all);
  float coef[21];
  for (int p = 0; p < 21; ++p) {
    const ValveDataWriter::Entry& e = data.coefficients[bank][curve][p];
    coef[p] = e.text ? std::strtof(e.text, nullptr) : e.value;
  }
  const ValveDataWriter::Entry& s = data.scales[bank][curve];
  float scale = s.text ? std::strtof(s.text, nullptr) : s.value;
  CurveReport r;
  float previous = 0.0f;
  for (int i = 0; i < kSamples; ++i) {
    float value = evaluate(coef, tableU(i));
    r.maxError = std::fmax(r.maxError, std::fabs(value - y[i] / top));
    double exact = 0.0;
    for (int p = 20; p >= 0; --p) exact = exact * tableU(i) + coef[p];
    r.maxRounding = std::fmax(r.maxRounding, std::fabs(value - exact));
    if (i > 0) r.minSlope = std::fmin(r.minSlope, static_cast<double>(value - previous) * scale);
    previous = value;
  }
  for (int p = 0; p < 21; ++p) r.sum += coef[p];
  r.topRatio = top / scale;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: valvefit FOLDER [--report] | valvefit --calibrate\n");
    return 2;
  }
  if (std::string(argv[1]) == "--calibrate") {
    ParameterCalibration::run();
    return 0;
  }
  bool report = argc > 2 && std::string(argv[2]) == "--report";

  std::vector<int> samples = fitSamples();
  std::vector<double> u;
  for (int i : samples) u.push_back(tableU(i));
  PolynomialFit fitter(u, kSmoothing);

  ValveDataWriter data;
  double tops[kBankCount][kCurveCount];
  for (int bank = 0; bank < kBankCount; ++bank) {
    for (int curve = 0; curve < kCurveCount; ++curve) {
      int mirror = mirroredBank(bank);
      if (mirror >= 0) {
        // Same scale factors as the mirrored bank; the current ratio goes into the fit.
        tops[bank][curve] = tops[mirror][curve] * mirrorRatio(bank);
        for (int p = 0; p < kFitTerms; ++p) {
          float c = data.coefficients[mirror][curve][p].value;
          data.coefficients[bank][curve][p] = {static_cast<float>(c * mirrorRatio(bank)), nullptr};
        }
        data.scales[bank][curve] = data.scales[mirror][curve];
        continue;
      }
      std::vector<double> y = curveCurrents(bank, curve, samples);
      double top = y.back();
      tops[bank][curve] = top;
      for (double& v : y) v /= top;
      std::array<float, kFitTerms> coef = fitter.fit(y);
      for (int p = 0; p < kFitTerms; ++p) {
        data.coefficients[bank][curve][p] = {coef[p], fixedCoefficient(bank, curve, p)};
      }
      ValveDataWriter::Entry& scale = data.scales[bank][curve];
      scale = {static_cast<float>(top), fixedScale(bank, curve)};
      if (!scale.text && scaleInEqualSteps(bank)) {
        double low = std::strtod(fixedScale(bank, 0), nullptr);
        double high = std::strtod(fixedScale(bank, kCurveCount - 1), nullptr);
        scale.value = static_cast<float>(low + (high - low) * curve / (kCurveCount - 1));
      }
    }
  }
  if (!data.write(argv[1])) {
    std::fprintf(stderr, "valvefit: cannot write the tables into %s\n", argv[1]);
    return 1;
  }
  if (!report) return 0;

  std::printf("bank curve  top(A)        top/scale  coef-sum   max-err    float-part min-step(A)\n");
  for (int bank = 0; bank < kBankCount; ++bank) {
    for (int curve = 0; curve < kCurveCount; ++curve) {
      CurveReport r = check(bank, curve, data, tops[bank][curve]);
      std::printf("%4d %5d  %.6e  %.6f   %.6f   %.3e  %.3e  %.3e\n", bank, curve, tops[bank][curve],
                  r.topRatio, r.sum, r.maxError, r.maxRounding, r.minSlope);
    }
  }
  return 0;
}
