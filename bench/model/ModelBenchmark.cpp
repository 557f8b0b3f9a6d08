// Speed of the circuit model: processing as a realtime factor (seconds of audio per CPU
// second) and the cost of creating instances (the first builds the shared tables and the
// settled idle state; later ones copy).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "model/AmpModel.h"
#include "model/ParameterIndex.h"

namespace {

constexpr int kBlock = 512;

// The realtime factor the circuit allows at most on the development machine (a 2-core AMD EPYC
// virtual machine): a latency model of one internal step's dependency chain, in the order its
// operations must keep, gives about 266 cycles per step, i.e. 57 times realtime at 192000 steps
// per second. The counter "of_limit" is the share of it reached.
constexpr double kCircuitLimit = 57.0;

// Must run first: it pays for everything built once per process.
void BM_FirstInstance(benchmark::State& state) {
  for (auto _ : state) {
    auto model = std::make_unique<AmpModel>();
    benchmark::DoNotOptimize(model.get());
  }
}
BENCHMARK(BM_FirstInstance)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FurtherInstance(benchmark::State& state) {
  for (auto _ : state) {
    auto model = std::make_unique<AmpModel>();
    benchmark::DoNotOptimize(model.get());
  }
  state.counters["bytes_per_instance"] = sizeof(AmpModel);
}
BENCHMARK(BM_FurtherInstance)->Unit(benchmark::kMicrosecond);

// A driven guitar-like signal: two partials with a decaying envelope, repeated.
std::vector<float> phrase(double rate, int n) {
  std::vector<float> s(n);
  for (int i = 0; i < n; ++i) {
    const double t = i / rate;
    const double env = std::exp(-3.0 * std::fmod(t, 0.5));
    s[i] = static_cast<float>(0.6 * env *
                              (std::sin(2 * M_PI * 110.0 * t) + 0.5 * std::sin(2 * M_PI * 330.0 * t)));
  }
  return s;
}

// cabinet: the Cab parameter's value (0: off, the amplifier alone). userSeconds: a user response
// of that length (exponentially decaying noise) loaded and chosen instead.
void processBenchmark(benchmark::State& state, float rate, bool stereo, float outputTap,
                      AmpModel::InstructionSet set = AmpModel().instructionSet(), float level = 1.0f,
                      float cabinet = 0.0f, double userSeconds = 0.0) {
  AmpModel model;
  model.setHostRate(rate);
  model.cabinet().setRate(rate);
  model.useInstructionSet(set);
  if (userSeconds > 0.0) {
    std::vector<float> ir(static_cast<size_t>(userSeconds * rate));
    uint32_t seed = 1;
    for (size_t i = 0; i < ir.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      ir[i] = static_cast<float>((seed >> 8) * (2.0 / 16777216.0) - 1.0) * std::exp(-6.0 * i / ir.size());
    }
    model.cabinet().setUserResponse(ir.data(), static_cast<long>(ir.size()), rate);
    cabinet = 1.0f;
  }
  float params[kNumParams] = {0.8f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 1.0f, outputTap, cabinet};
  std::vector<float> in = phrase(rate, kBlock * 64);
  for (float& v : in) v *= level;
  std::vector<float> out1(kBlock), out2(kBlock);
  float* outputs[2] = {out1.data(), out2.data()};
  float meter1, meter2;
  size_t at = 0;
  for (auto _ : state) {
    const float* inputs[2] = {in.data() + at, in.data() + at};
    model.processReplacing(inputs, outputs, kBlock, params, stereo, &meter1, &meter2);
    benchmark::DoNotOptimize(out1.data());
    at = (at + kBlock) % in.size();
  }
  // Seconds of audio per CPU second.
  state.counters["realtime"] =
      benchmark::Counter(kBlock / rate, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["of_limit"] =
      benchmark::Counter(kBlock / rate / kCircuitLimit, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ProcessStereo48k(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 0.0f);
}
BENCHMARK(BM_ProcessStereo48k);

// Beside it, the same through a built-in cabinet (the closed 4x12) and through a user's 200 ms
// response: what the cabinet stage costs.
void BM_ProcessStereo48kCabinet(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 0.0f, AmpModel().instructionSet(), 1.0f, 0.2f);
}
BENCHMARK(BM_ProcessStereo48kCabinet);

void BM_ProcessStereo48kUser200ms(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 0.0f, AmpModel().instructionSet(), 1.0f, 0.0f, 0.2);
}
BENCHMARK(BM_ProcessStereo48kUser200ms);

// The same work on silence: the valve table reads then stay in the same few cache lines, while
// a driven signal's reads jump about the tables and often wait for memory. The gap between this
// case and BM_ProcessStereo48k is what those waits cost.
void BM_ProcessStereo48kSilence(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 0.0f, AmpModel().instructionSet(), 0.0f);
}
BENCHMARK(BM_ProcessStereo48kSilence);

void BM_ProcessStereo48kPowerTap(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 1.0f);
}
BENCHMARK(BM_ProcessStereo48kPowerTap);

// What a processor without AVX gets.
void BM_ProcessStereo48kBaseline(benchmark::State& state) {
  processBenchmark(state, 48000.0f, true, 0.0f, AmpModel::InstructionSet::kBaseline);
}
BENCHMARK(BM_ProcessStereo48kBaseline);

void BM_ProcessMono48k(benchmark::State& state) {
  processBenchmark(state, 48000.0f, false, 0.0f);
}
BENCHMARK(BM_ProcessMono48k);

void BM_ProcessStereo44k(benchmark::State& state) {
  processBenchmark(state, 44100.0f, true, 0.0f);
}
BENCHMARK(BM_ProcessStereo44k);

}  // namespace

BENCHMARK_MAIN();
