// korvalite-analyze: test signals in, measurements out, for the plots in docs/.
//   tones OUT --rate HZ [--amp A]             stepped sines, 20 Hz .. 20 kHz
//   sine OUT --rate HZ --freq HZ [--amp A] [--seconds S]
//   response IN OUT [--delay N]               gain in dB per tone of a `tones` render
//   transfer IN OUT [--delay N] [--from S] [--seconds S]   input/output sample pairs
//   spectrum FILE [--from S] [--size N]       magnitude spectrum in dBFS
//   sweep OUT --rate HZ [--amp A] [--seconds S]   exponential sine sweep, 20 Hz .. 20 kHz
//   spectrogram FILE [--size N]               dB per time and frequency, rows for gnuplot's image
//   fit FILE --freq HZ [--from S]             the tone's level (dBFS) and what is left after a
//                                             least-squares fit of it, in dB against it
//   lines FILE --freq HZ [--from S] [--below HZ]  the strongest line that is not a harmonic of
//                                             the tone, in dB against it (aliasing)
//   compare A B [--channel C] [--delay N]     largest sample difference and the difference's
//                                             RMS relative to A's, in dB (B lagging by N)
// Errors: one line on stderr, exit status 1.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "tools/analyze/Signals.h"
#include "tools/analyze/Spectrum.h"
#include "tools/analyze/ToneFit.h"
#include "tools/analyze/WaveFile.h"

namespace {

struct Args {
  std::vector<std::string> positional;
  std::map<std::string, double> options;
};

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "korvalite-analyze: %s\n", message.c_str());
  std::exit(1);
}

Args parse(int argc, char** argv) {
  Args a;
  for (int i = 2; i < argc; ++i) {
    std::string s = argv[i];
    if (s.rfind("--", 0) == 0) {
      if (i + 1 >= argc) fail("option " + s + " needs a value");
      char* end = nullptr;
      const double v = std::strtod(argv[i + 1], &end);
      if (!end || *end || !std::isfinite(v))
        fail("option " + s + " needs a number, not '" + argv[i + 1] + "'");
      a.options[s.substr(2)] = v;
      ++i;
    } else {
      a.positional.push_back(s);
    }
  }
  return a;
}

double option(const Args& a, const std::string& name, double fallback) {
  auto it = a.options.find(name);
  return it == a.options.end() ? fallback : it->second;
}

MonoSignal load(const std::string& path) {
  MonoSignal s;
  std::string error;
  if (!readMono(path, s, error)) fail(error);
  return s;
}

void save(const std::string& path, const MonoSignal& s) {
  std::string error;
  if (!writeMono(path, s, error)) fail(error);
}

void needFiles(const Args& a, size_t n, const char* usage) {
  if (a.positional.size() != n) fail(std::string("usage: korvalite-analyze ") + usage);
}

double positiveRate(const Args& a) {
  const double rate = option(a, "rate", 0);
  if (rate < 1000 || rate > 768000) fail("--rate must be between 1000 and 768000 Hz");
  return rate;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    fail(
        "usage: korvalite-analyze tones|sine|response|transfer|spectrum|sweep|spectrogram|fit|lines|compare "
        "...");
  const std::string command = argv[1];
  const Args a = parse(argc, argv);

  if (command == "tones") {
    needFiles(a, 1, "tones OUT --rate HZ [--amp A]");
    save(a.positional[0], steppedTones(positiveRate(a), option(a, "amp", 0.25)));
  } else if (command == "sine") {
    needFiles(a, 1, "sine OUT --rate HZ --freq HZ [--amp A] [--seconds S]");
    const double rate = positiveRate(a);
    const double f = option(a, "freq", 1000);
    if (f <= 0 || f >= rate / 2) fail("--freq must lie between 0 and half the rate");
    save(a.positional[0], sine(rate, f, option(a, "amp", 0.5), option(a, "seconds", 1)));
  } else if (command == "response") {
    needFiles(a, 2, "response IN OUT [--delay N]");
    const MonoSignal in = load(a.positional[0]), out = load(a.positional[1]);
    const auto delay = static_cast<size_t>(option(a, "delay", 0));
    const auto per = static_cast<size_t>(kToneSeconds * in.rate);
    if (delay >= per / 4) fail("--delay must be shorter than a quarter of a tone");
    const std::vector<float> shifted(
        out.samples.begin() + static_cast<long>(std::min(delay, out.samples.size())), out.samples.end());
    size_t k = 0;
    for (double f : toneFrequencies(in.rate)) {
      // The second half of each segment: filters have settled, the next tone has not begun.
      const size_t b = k * per + per / 2, e = (k + 1) * per - delay;
      ++k;
      if (e > shifted.size() || e > in.samples.size()) fail("the render is shorter than the tones");
      const double gi = analysis::fitTone(in.samples.data(), b, e, f, in.rate).amplitude;
      const double go = analysis::fitTone(shifted.data(), b, e, f, in.rate).amplitude;
      std::printf("%.2f %.3f\n", f, 20 * std::log10(std::max(go, 1e-12) / std::max(gi, 1e-12)));
    }
  } else if (command == "transfer") {
    needFiles(a, 2, "transfer IN OUT [--delay N] [--from S] [--seconds S]");
    const MonoSignal in = load(a.positional[0]), out = load(a.positional[1]);
    const auto delay = static_cast<size_t>(option(a, "delay", 0));
    const auto from = static_cast<size_t>(option(a, "from", 0.5) * in.rate);
    const auto count = static_cast<size_t>(option(a, "seconds", 0.02) * in.rate);
    for (size_t i = from; i < from + count && i < in.samples.size() && i + delay < out.samples.size(); ++i)
      std::printf("%.6f %.6f\n", in.samples[i], out.samples[i + delay]);
  } else if (command == "spectrum") {
    needFiles(a, 1, "spectrum FILE [--from S] [--size N]");
    const MonoSignal s = load(a.positional[0]);
    const auto size = static_cast<size_t>(option(a, "size", 16384));
    if (size < 64 || (size & (size - 1))) fail("--size must be a power of two of at least 64");
    const auto from = static_cast<size_t>(option(a, "from", 0.5) * s.rate);
    if (from + size > s.samples.size()) fail("the file is too short for that window");
    const auto mag = magnitudeSpectrum(s.samples, from, size);
    for (size_t k = 1; k < mag.size(); ++k)
      std::printf("%.2f %.2f\n", static_cast<double>(k) * s.rate / static_cast<double>(size),
                  20 * std::log10(std::max(mag[k], 1e-9)));
  } else if (command == "sweep") {
    needFiles(a, 1, "sweep OUT --rate HZ [--amp A] [--seconds S]");
    const double rate = positiveRate(a);
    const double seconds = option(a, "seconds", 10);
    if (seconds <= 0 || seconds > 600) fail("--seconds must lie between 0 and 600");
    save(a.positional[0], sweep(rate, 20, std::min(20000.0, 0.49 * rate), option(a, "amp", 0.25), seconds));
  } else if (command == "spectrogram") {
    needFiles(a, 1, "spectrogram FILE [--size N]");
    const MonoSignal s = load(a.positional[0]);
    const auto size = static_cast<size_t>(option(a, "size", 4096));
    if (size < 64 || (size & (size - 1))) fail("--size must be a power of two of at least 64");
    if (s.samples.size() < size) fail("the file is shorter than one window");
    // Windows overlapping by half; one line per time and frequency, a blank line between times.
    for (size_t from = 0; from + size <= s.samples.size(); from += size / 2) {
      const auto mag = magnitudeSpectrum(s.samples, from, size);
      const double t = (static_cast<double>(from) + size / 2.0) / s.rate;
      for (size_t k = 1; k < mag.size(); ++k)
        std::printf("%.6f %.4f %.1f\n", t, static_cast<double>(k) * s.rate / static_cast<double>(size),
                    20 * std::log10(std::max(mag[k], 1e-9)));
      std::printf("\n");
    }
  } else if (command == "fit") {
    needFiles(a, 1, "fit FILE --freq HZ [--from S]");
    const MonoSignal s = load(a.positional[0]);
    const double f = option(a, "freq", 0);
    if (f <= 0 || f >= s.rate / 2) fail("--freq must lie between 0 and half the rate");
    const auto from = static_cast<size_t>(option(a, "from", 0.5) * s.rate);
    if (from + 64 > s.samples.size()) fail("the file is too short for a fit from --from");
    const analysis::ToneFit t = analysis::fitTone(s.samples.data(), from, s.samples.size(), f, s.rate);
    std::printf(
        "level %.2f residual %.1f\n", 20 * std::log10(std::max(t.amplitude, 1e-12)),
        20 * std::log10(std::max(t.residualRms, 1e-15) / std::max(t.amplitude / std::sqrt(2.0), 1e-12)));
  } else if (command == "lines") {
    needFiles(a, 1, "lines FILE --freq HZ [--from S] [--below HZ]");
    const MonoSignal s = load(a.positional[0]);
    const double f = option(a, "freq", 0);
    if (f <= 0 || f >= s.rate / 2) fail("--freq must lie between 0 and half the rate");
    const double below = option(a, "below", 16000);
    const auto from = static_cast<size_t>(option(a, "from", 1.0) * s.rate);
    constexpr size_t kSize = 32768;
    if (from + kSize > s.samples.size()) fail("the file is too short for a window from --from");
    std::printf("%.1f\n", strongestNonHarmonicDb(s.samples, from, kSize, f, s.rate, below));
  } else if (command == "compare") {
    needFiles(a, 2, "compare A B [--channel C] [--delay N]");
    const int channel = static_cast<int>(option(a, "channel", 0));
    // B may lag A by N samples (a plug-in's delay that one host compensated and one did not):
    // A[i] is compared with B[i + N] where both exist.
    const double delayOption = option(a, "delay", 0);
    if (delayOption < 0 || delayOption != std::floor(delayOption))
      fail("--delay must be a whole number >= 0");
    const auto delay = static_cast<size_t>(delayOption);
    MonoSignal x, y;
    std::string error;
    if (!readChannel(a.positional[0], channel, x, error) || !readChannel(a.positional[1], channel, y, error))
      fail(error);
    if (x.rate != y.rate) fail("the two files differ in rate");
    if (delay == 0 && x.samples.size() != y.samples.size()) fail("the two files differ in length");
    const size_t count = y.samples.size() > delay ? std::min(x.samples.size(), y.samples.size() - delay) : 0;
    if (count < x.samples.size() / 2) fail("the files overlap by less than half of A");
    double maxDiff = 0, sumDiff = 0, sumRef = 0;
    for (size_t i = 0; i < count; ++i) {
      const double d = static_cast<double>(x.samples[i]) - y.samples[i + delay];
      maxDiff = std::max(maxDiff, std::fabs(d));
      sumDiff += d * d;
      sumRef += static_cast<double>(x.samples[i]) * x.samples[i];
    }
    std::printf("max-difference %.3g relative-rms-db %.1f\n", maxDiff,
                10 * std::log10(std::max(sumDiff, 1e-30) / std::max(sumRef, 1e-30)));
  } else {
    fail("unknown command '" + command +
         "' (tones, sine, response, transfer, spectrum, sweep, spectrogram, fit, lines, compare)");
  }
  return 0;
}
