#include "tools/valvefit/ParameterCalibration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "tools/valvefit/ValveBanks.h"

namespace {

using Params = std::vector<double>;
using Cost = std::function<double(const Params&, bool print)>;

// Nelder-Mead simplex search: the costs are smooth but come from Newton solves, so a
// derivative-free method is the simplest robust choice. Parameters are logarithms.
Params minimise(const Cost& cost, Params start, double step, int iterations) {
  const size_t n = start.size();
  std::vector<Params> simplex(n + 1, start);
  std::vector<double> value(n + 1);
  for (size_t i = 0; i < n; ++i) simplex[i + 1][i] += step;
  for (size_t i = 0; i <= n; ++i) value[i] = cost(simplex[i], false);
  for (int it = 0; it < iterations; ++it) {
    std::vector<size_t> order(n + 1);
    for (size_t i = 0; i <= n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return value[a] < value[b]; });
    std::vector<Params> sortedSimplex;
    std::vector<double> sortedValue;
    for (size_t i : order) {
      sortedSimplex.push_back(simplex[i]);
      sortedValue.push_back(value[i]);
    }
    simplex.swap(sortedSimplex);
    value.swap(sortedValue);
    Params centre(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
      for (size_t k = 0; k < n; ++k) centre[k] += simplex[i][k] / n;
    }
    auto along = [&](double t) {
      Params p(n);
      for (size_t k = 0; k < n; ++k) p[k] = centre[k] + t * (simplex[n][k] - centre[k]);
      return p;
    };
    Params reflected = along(-1.0);
    double fr = cost(reflected, false);
    if (fr < value[0]) {
      Params expanded = along(-2.0);
      double fe = cost(expanded, false);
      simplex[n] = fe < fr ? expanded : reflected;
      value[n] = std::min(fe, fr);
    } else if (fr < value[n - 1]) {
      simplex[n] = reflected;
      value[n] = fr;
    } else {
      Params contracted = along(fr < value[n] ? -0.5 : 0.5);
      double fc = cost(contracted, false);
      if (fc < std::min(fr, value[n])) {
        simplex[n] = contracted;
        value[n] = fc;
      } else {
        for (size_t i = 1; i <= n; ++i) {
          for (size_t k = 0; k < n; ++k)
            simplex[i][k] = simplex[0][k] + 0.5 * (simplex[i][k] - simplex[0][k]);
          value[i] = cost(simplex[i], false);
        }
      }
    }
  }
  return simplex[std::min_element(value.begin(), value.end()) - value.begin()];
}

// Squared log ratio, printed when asked.
double mismatch(double computed, double given, bool print, const char* what) {
  if (print)
    std::printf("    %-34s %.5e  given %.5e  (%+.2f %%)\n", what, computed, given,
                100.0 * (computed / given - 1.0));
  double r = std::log(computed / given);
  return r * r;
}

// Sweeps the element up its sample axis (the solver follows the solution) and returns the
// currents at the top, with the largest grid current on the way.
ElementCurrents sweepToTop(ValveElement element, double low, double span, double vc,
                           double* gridMax = nullptr) {
  ElementCurrents c;
  double peak = 0.0;
  for (int i = 0; i <= 120; ++i) {
    c = element.solve(low + span * i / 120, vc);
    peak = std::max(peak, c.grid);
  }
  if (gridMax) *gridMax = peak;
  return c;
}

double parsed(const char* text) {
  return std::strtod(text, nullptr);
}

double givenGridCurve0(double u) {
  double s = 0.0, power = 1.0;
  for (int p = 0; p < 21; ++p, power *= u) s += parsed(fixedCoefficient(0, 0, p)) * power;
  return s * parsed(fixedScale(0, 0));
}

double driverCost(const ValveLaw& law, bool print) {
  double gridMax;
  ValveElement first(law, selfImpedance(2)), second(law, selfImpedance(3));
  ElementCurrents c = sweepToTop(first, -30, 80, 200, &gridMax);
  double e = mismatch(gridMax, 3.2e-4, print, "driver 1 grid max, curve 0");
  e += mismatch(c.plate, 2.04e-3, print, "driver 1 plate top, curve 0");
  e += mismatch(sweepToTop(first, -30, 80, 400).plate, 3.68e-3, print, "driver 1 plate top, curve 9");
  c = sweepToTop(second, -15, 55, 200);
  e += mismatch(c.grid, 2.5e-3, print, "driver 2 grid top, curve 0");
  e += mismatch(c.plate, 2.2e-3, print, "driver 2 plate top, curve 0");
  c = sweepToTop(second, -15, 55, 400);
  e += mismatch(c.grid, 7.9e-4, print, "driver 2 grid top, curve 9");
  e += mismatch(c.plate, 4.3e-3, print, "driver 2 plate top, curve 9");
  return e;
}

// Grid-current law and the first preamp element's impedances, from bank 0's given curve
// and the scale factors of banks 0 and 1, together with the driver pair's maxima.
void calibrateTriode() {
  Cost cost = [](const Params& p, bool print) {
    ValveLaw law = triodeLaw();
    law.gg = std::exp(p[0]);
    law.cg = std::exp(p[1]);
    SelfImpedance z{std::exp(p[2]), std::exp(p[3]), std::exp(p[4])};
    if (z.zgp >= z.zgg || z.zgp >= z.zpp) return 1e9;
    ValveElement element(law, z);
    double e = 0.0;
    for (int j = 0; j < kCurveCount; ++j) {
      element.reset();
      ElementCurrents c;
      for (int i = 0; i <= 96; ++i) {
        c = element.solve(-4.0 + 0.25 * i, 50.0 + 150.0 * j / 9);
        if (j == 0) {
          double d = (c.grid - givenGridCurve0(-1.0 + i / 48.0)) / parsed(fixedScale(0, 0));
          e += 0.3 * d * d;
        }
      }
      char what[40];
      std::snprintf(what, sizeof what, "element 1 grid top, curve %d", j);
      e += mismatch(c.grid, parsed(fixedScale(0, j)), print, what);
      std::snprintf(what, sizeof what, "element 1 plate top, curve %d", j);
      e += mismatch(c.plate, parsed(fixedScale(1, j)), print, what);
    }
    return e + driverCost(law, print);
  };
  ValveLaw law = triodeLaw();
  SelfImpedance z = selfImpedance(0);
  Params p =
      minimise(cost, {std::log(law.gg), std::log(law.cg), std::log(z.zgg), std::log(z.zgp), std::log(z.zpp)},
               0.05, 1500);
  std::printf(
      "12AX7 grid current and preamp element 1:\n  gg = %.4g  cg = %.4g  zgg = %.5g  zgp = %.5g  zpp = "
      "%.5g\n",
      std::exp(p[0]), std::exp(p[1]), std::exp(p[2]), std::exp(p[3]), std::exp(p[4]));
  cost(p, true);
}

// The second preamp element's grid and plate impedances from its described maxima; the
// shared impedance is its output row's grid-current entry.
void calibrateSecondElement() {
  const double shared = selfImpedance(1).zgp;
  Cost cost = [shared](const Params& p, bool print) {
    ValveElement element(triodeLaw(), {std::exp(p[0]), shared, std::exp(p[1])});
    ElementCurrents low = sweepToTop(element, 5, 40, 100), high = sweepToTop(element, 5, 40, 300);
    return mismatch(low.grid, 1.27e-4, print, "element 2 grid top, curve 0") +
           mismatch(low.plate, 5.4e-4, print, "element 2 plate top, curve 0") +
           mismatch(high.grid, 2.7e-5, print, "element 2 grid top, curve 9") +
           mismatch(high.plate, 1.55e-3, print, "element 2 plate top, curve 9");
  };
  SelfImpedance z = selfImpedance(1);
  Params p = minimise(cost, {std::log(z.zgg), std::log(z.zpp)}, 0.1, 400);
  std::printf("Preamp element 2:\n  zgg = %.5g  zpp = %.5g\n", std::exp(p[0]), std::exp(p[1]));
  cost(p, true);
}

// The output valve's mu, kg1 and plate resistance: 0.13 mA at -70 V and 100 V, and the
// equal steps between the given end values at -45 V.
void calibrateOutputValve() {
  Cost cost = [](const Params& p, bool print) {
    ValveLaw law = outputValveLaw();
    law.mu = std::exp(p[0]);
    law.kg1 = std::exp(p[1]);
    ValveElement element(law, {0.0, 0.0, std::exp(p[2])});
    double low = parsed(fixedScale(8, 0)), high = parsed(fixedScale(8, kCurveCount - 1));
    double e = mismatch(element.solve(-70, 100).plate, 1.3e-4, print, "output valve at -70 V, curve 0");
    for (int j = 0; j < kCurveCount; ++j) {
      char what[40];
      std::snprintf(what, sizeof what, "output valve top, curve %d", j);
      element.reset();
      e += mismatch(sweepToTop(element, -70, 25, 100.0 + 300.0 * j / 9).plate, low + (high - low) * j / 9,
                    print, what);
    }
    return e;
  };
  ValveLaw law = outputValveLaw();
  Params p = minimise(cost, {std::log(law.mu), std::log(law.kg1), std::log(selfImpedance(4).zpp)}, 0.05, 600);
  std::printf("Output valve:\n  mu = %.5g  kg1 = %.5g  plate resistance = %.6g\n", std::exp(p[0]),
              std::exp(p[1]), std::exp(p[2]));
  cost(p, true);
}

}  // namespace

void ParameterCalibration::run() {
  calibrateTriode();
  calibrateSecondElement();
  calibrateOutputValve();
}
