#include "cab/CabinetDesign.h"

#include <cmath>
#include <complex>
#include <new>

#include "cab/FftPlan.h"
#include "cab/MinimumPhase.h"

namespace {

// Magnitudes of the analogue prototypes the designs are made of, at f.
double highPass(double f, double corner, int order) {
  return 1.0 / std::sqrt(1.0 + std::pow(corner / f, 2.0 * order));
}
double lowPass(double f, double corner, int order) {
  return 1.0 / std::sqrt(1.0 + std::pow(f / corner, 2.0 * order));
}
// A resonance or dip of `db` at f0 with quality q (the peaking section of the audio cookbook,
// analogue form).
double peak(double f, double f0, double q, double db) {
  const double a = std::pow(10.0, db / 40.0);
  const double w = f / f0;
  const std::complex<double> num(1.0 - w * w, w * a / q);
  const std::complex<double> den(1.0 - w * w, w / (a * q));
  return std::abs(num) / std::abs(den);
}
// First-order shelves: `db` below (low) or above (high) the corner.
double lowShelf(double f, double corner, double db) {
  const double g = std::pow(10.0, db / 20.0);
  const double x = f / corner;
  return std::sqrt((g * g + x * x) / (1.0 + x * x));
}
double highShelf(double f, double corner, double db) {
  const double g = std::pow(10.0, db / 20.0);
  const double x = f / corner;
  return std::sqrt((1.0 + g * g * x * x) / (1.0 + x * x));
}

struct Peak {
  double f, q, db;
};
struct Design {
  double resonance, resonanceQ, resonanceDb;  // the speaker on its suspension, in the box
  double lowCorner;                           // the box's low cut (second order)
  double openBackCorner;                      // an open back's front-back cancellation, 0: closed
  Peak breakUp[3];                            // cone break-up and the dip before it
  double topCorner;                           // where the cone stops radiating
  double proximityDb;                         // the microphone's bass lift close to the grille
  double offAxisDb;                           // its top-end loss when angled off the cone
};

// The values are the behaviour published for the kinds of speaker and cabinet, not any one
// product's measurement; README.md tabulates them.
constexpr Design kDesigns[CabinetDesign::kBuiltIns] = {
    // Closed-back 4x12: sealed box, broad firm low resonance, strong upper-mid break-up.
    {85.0,
     1.1,
     5.0,
     60.0,
     0.0,
     {{550.0, 1.2, -3.5}, {2300.0, 2.0, 5.0}, {3600.0, 3.0, 3.0}},
     5200.0,
     1.5,
     0.0},
    // Open-back 2x12: a sharper resonance with the lows below it falling faster (the back
    // wave cancels the front), broad presence, the microphone a little off axis.
    {100.0,
     1.6,
     6.0,
     75.0,
     85.0,
     {{750.0, 1.0, -2.0}, {1800.0, 1.8, 4.5}, {3100.0, 2.5, 3.0}},
     5600.0,
     0.0,
     -3.0},
    // Open-back 1x12 combo: higher resonance, lighter lows, bright break-up, close microphone.
    {110.0,
     1.6,
     6.0,
     85.0,
     95.0,
     {{900.0, 1.2, -2.0}, {2500.0, 2.2, 4.0}, {3800.0, 3.0, 4.0}},
     6000.0,
     2.5,
     0.0},
    // Small 1x10: high, peaky resonance, little below it, nasal break-up, early top fall.
    {110.0,
     2.0,
     6.0,
     90.0,
     100.0,
     {{1000.0, 1.4, -1.5}, {1600.0, 2.0, 5.0}, {3200.0, 2.5, 2.5}},
     5000.0,
     0.0,
     -2.0},
};

// Where the weighting puts a driven amplifier's energy: from the guitar's lowest notes up, falling
// at 3 dB per octave above the midrange.
double weighting(double f) {
  const double x = f / 100.0;
  return (x * x / (1.0 + x * x)) / (1.0 + f / 800.0);
}

// The weighting alone leaves every cabinet about 1.55 dB louder than the amplifier alone on the
// demo riff through any factory program (a driven riff's energy sits lower than the weighting has
// it, where the cabinets' resonances lift it): this level, measured so, evens them out.
constexpr double kLoudnessTrim = 0.8368;  // -1.55 dB

int powerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

}  // namespace

double CabinetDesign::magnitude(int cabinet, double f) {
  const Design& d = kDesigns[cabinet];
  f = f > 1.0 ? f : 1.0;
  double m = highPass(f, d.lowCorner, 2) * peak(f, d.resonance, d.resonanceQ, d.resonanceDb);
  if (d.openBackCorner > 0.0) m *= highPass(f, d.openBackCorner, 1);
  for (const Peak& p : d.breakUp) m *= peak(f, p.f, p.q, p.db);
  // The fall above the top corner is steep: eighth order.
  m *= lowPass(f, d.topCorner, 4) * lowPass(f, d.topCorner * 1.15, 4);
  if (d.proximityDb != 0.0) m *= lowShelf(f, 200.0, d.proximityDb);
  if (d.offAxisDb != 0.0) m *= highShelf(f, 3000.0, d.offAxisDb);
  return m;
}

std::vector<float> CabinetDesign::impulse(int cabinet, float rate) {
  if (cabinet < 0 || cabinet >= kBuiltIns || !(rate >= 1000.0f)) return {};
  // 20 ms carries the resonance's decay (a shorter cut smears it upwards); capped for absurd
  // rates, where it gets shorter.
  int taps = static_cast<int>(0.02 * rate + 0.5);
  taps = taps < 16384 ? taps : 16384;
  const int size = powerOfTwoAtLeast(8 * taps) > 4096 ? powerOfTwoAtLeast(8 * taps) : 4096;
  try {
    std::vector<float> mag(size / 2 + 1);
    for (int k = 0; k <= size / 2; ++k)
      mag[k] = static_cast<float>(magnitude(cabinet, k * double(rate) / size));
    std::vector<float> ir = MinimumPhase::impulse(mag, size, taps);
    const float factor = loudnessFactor(ir.data(), static_cast<int>(ir.size()), rate);
    for (float& v : ir) v *= factor;
    return ir;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

float CabinetDesign::loudnessFactor(const float* taps, int length, float rate) {
  if (taps == nullptr || length < 1 || !(rate > 0.0f)) return 0.0f;
  try {
    const int size = powerOfTwoAtLeast(2 * length) > 8192 ? powerOfTwoAtLeast(2 * length) : 8192;
    FftPlan plan(size);
    if (!plan.valid()) return 0.0f;
    std::vector<float> time(size, 0.0f);
    for (int n = 0; n < length; ++n) time[n] = taps[n];
    std::vector<FftComplex> spectrum(plan.bins());
    plan.forward(time.data(), spectrum.data());
    double weighted = 0.0;
    double total = 0.0;
    // Up to 20 kHz whatever the rate: at a low rate the band above half of it is simply missing
    // from the response, so a cabinet keeps its loudness where it sounds the same.
    for (int k = 1;; ++k) {
      const double f = k * double(rate) / size;
      if (f > 20000.0) break;
      const double w = weighting(f);
      total += w;
      if (k < plan.bins()) {
        const double p = double(spectrum[k].r) * spectrum[k].r + double(spectrum[k].i) * spectrum[k].i;
        weighted += w * p;
      }
    }
    if (!(weighted > 1e-20 * total) || !std::isfinite(weighted)) return 0.0f;
    return static_cast<float>(kLoudnessTrim * std::sqrt(total / weighted));
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}
