// Group 3: numerics. Finite output at every corner of the parameter space and at random
// settings; recovery after poisoned input or parameters; the host's floating-point control state
// unchanged by every call. (Subnormals in a silent tail are checked in the model's state, which
// the output cannot show.)
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "tests/reliability/harness/Analysis.h"
#include "tests/reliability/harness/PluginHost.h"

using namespace reliability;

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;

// Processes `blocks` blocks of a two-tone input at `amplitude`; answers false at the first
// non-finite output sample or a changed floating-point state.
bool play(const Instance& effect, StereoBuffers& audio, int blocks, float amplitude, long long& t) {
  for (int b = 0; b < blocks; ++b) {
    float** in = audio.in(kBlock);
    fillSine(in[0], kBlock, 110.0, kRate, amplitude, t);
    fillSine(in[1], kBlock, 1000.0, kRate, amplitude, t);
    float** out = audio.out(kBlock);
    const FpState before = hostDefaultFpState();
    writeFpState(before);
    effect.process(in, out, kBlock);
    if (readFpState() != before) return false;
    if (!allFinite(out[0], kBlock) || !allFinite(out[1], kBlock)) return false;
    t += kBlock;
  }
  return true;
}

TEST(Numerics, FiniteAtEveryCornerAndAtRandomSettings) {
  Instance effect = Instance::started(kRate, kBlock);
  ASSERT_TRUE(effect);
  StereoBuffers audio(kBlock);
  const int numParams = effect.record()->numParams;
  long long t = 0;
  const int corners = 1 << numParams;
  for (int corner = 0; corner < corners; ++corner) {
    for (int p = 0; p < numParams; ++p) effect.setParameter(p, (corner >> p) & 1 ? 1.0f : 0.0f);
    ASSERT_TRUE(play(effect, audio, 2, 1.0f, t)) << "corner " << corner;
  }
  Rng rng(7);
  const int settings = 1000 * soakFactor();
  for (int s = 0; s < settings; ++s) {
    for (int p = 0; p < numParams; ++p) effect.setParameter(p, rng.uniform());
    ASSERT_TRUE(play(effect, audio, 2, rng.uniform() * 4.0f, t)) << "setting " << s;
  }
  figure("3 numerics", format("%d corners and %d random settings at up to +12 dBFS: non-finite outputs 0",
                              corners, settings));
}

// After one poisoned block the output is finite, and once input and parameters are normal again
// the output comes back to what a twin instance that never saw the poison plays, within 1e-3 (the
// output peaks near 0.5), at several settings. "Recovered" is the first sample from which the
// output stays there to the end of the watch, which lasts twice the time allowed: a state
// restarted from idle converges on the twin's (in 0.5 s at full drive); one left stuck, silent or
// blown up never does. A 1e30 input is finite and the circuit rings down from it on its own
// time constants (at full drive not within 12 s): its output must only stay finite.
TEST(Numerics, RecoveryAfterPoisonedInputOrParameters) {
  StereoBuffers audio(kBlock);
  StereoBuffers twinAudio(kBlock);
  struct Poison {
    const char* what;
    float input;    // 0: the input stays normal
    int parameter;  // -1: no parameter poisoned
    float value;
  };
  struct Setting {
    const char* name;
    std::vector<std::pair<int, float>> values;
  };
  const std::vector<Setting> settings = {
      {"default", {}},
      {"full drive", {{0, 1.0f}, {7, 0.01f}, {8, 1.0f}, {9, 1.0f}, {10, 1.0f}}},
      {"clean, half mix", {{0, 0.1f}, {1, 0.1f}, {3, 0.5f}}}};
  std::vector<Poison> poisons = {{"NaN input", NAN, -1, 0},
                                 {"+Inf input", INFINITY, -1, 0},
                                 {"-Inf input", -INFINITY, -1, 0},
                                 {"1e30 input", 1e30f, -1, 0}};
  for (int p = 0; p < 12; ++p) {  // all twelve, the cabinet's too
    for (float v : {NAN, -1.0f, 2.0f}) poisons.push_back({"parameter", 0.0f, p, v});
  }
  constexpr float kTolerance = 1e-3f;
  int worst = 0;
  std::string worstWhat;
  int runs = 0;
  for (const Setting& setting : settings) {
    for (const Poison& poison : poisons) {
      // Parameter poisons once, at the default setting: they leave the circuit's state alone.
      if (poison.parameter >= 0 && !setting.values.empty()) continue;
      ++runs;
      Instance effect = Instance::started(kRate, kBlock);
      Instance twin = Instance::started(kRate, kBlock);
      ASSERT_TRUE(effect && twin);
      for (const auto& v : setting.values) {
        effect.setParameter(v.first, v.second);
        twin.setParameter(v.first, v.second);
      }
      long long t = 0;
      long long tt = 0;
      ASSERT_TRUE(play(effect, audio, 20, 0.5f, t));
      ASSERT_TRUE(play(twin, twinAudio, 20, 0.5f, tt));
      const float saved = poison.parameter >= 0 ? effect.getParameter(poison.parameter) : 0.0f;
      // The poisoned block.
      float** in = audio.in(kBlock);
      fillSine(in[0], kBlock, 110.0, kRate, 0.5f, t);
      fillSine(in[1], kBlock, 1000.0, kRate, 0.5f, t);
      if (poison.input != 0.0f) {
        for (int i = 0; i < kBlock; ++i) in[0][i] = in[1][i] = poison.input;
      }
      if (poison.parameter >= 0) {
        effect.setParameter(poison.parameter, poison.value);
      }
      float** out = audio.out(kBlock);
      effect.process(in, out, kBlock);
      ASSERT_TRUE(allFinite(out[0], kBlock) && allFinite(out[1], kBlock))
          << poison.what << " " << poison.parameter;
      float** twinIn = twinAudio.in(kBlock);
      fillSine(twinIn[0], kBlock, 110.0, kRate, 0.5f, tt);
      fillSine(twinIn[1], kBlock, 1000.0, kRate, 0.5f, tt);
      twin.process(twinIn, twinAudio.out(kBlock), kBlock);
      t += kBlock;
      tt += kBlock;
      if (poison.parameter >= 0) {
        effect.setParameter(poison.parameter, saved);
      }
      // Normal again: compared with the twin sample by sample, for 1.5 s after the input's
      // poisons and 0.5 s after a parameter's (they leave the circuit's state alone).
      const bool ringsDown = poison.input == 1e30f;
      const int watchBlocks = static_cast<int>((poison.parameter >= 0 ? 0.5f : 1.5f) * kRate / kBlock);
      int lastBad = -1;
      for (int b = 0; b < watchBlocks; ++b) {
        float** i1 = audio.in(kBlock);
        float** i2 = twinAudio.in(kBlock);
        for (float** in2 : {i1, i2}) {
          fillSine(in2[0], kBlock, 110.0, kRate, 0.5f, t);
          fillSine(in2[1], kBlock, 1000.0, kRate, 0.5f, t);
        }
        float** o1 = audio.out(kBlock);
        float** o2 = twinAudio.out(kBlock);
        effect.process(i1, o1, kBlock);
        twin.process(i2, o2, kBlock);
        for (int i = 0; i < kBlock; ++i) {
          for (int ch = 0; ch < 2; ++ch) {
            ASSERT_TRUE(std::isfinite(o1[ch][i])) << poison.what << " at " << setting.name;
            if (!(std::fabs(o1[ch][i] - o2[ch][i]) <= kTolerance)) lastBad = b * kBlock + i;
          }
        }
        t += kBlock;
      }
      const int recovery = lastBad + 1;
      const std::string what =
          format("%s%s at %s", poison.what,
                 poison.parameter >= 0 ? format(" %d", poison.parameter).c_str() : "", setting.name);
      if (ringsDown) continue;
      if (recovery > worst) {
        worst = recovery;
        worstWhat = what;
      }
      EXPECT_LE(recovery, watchBlocks * kBlock / 2) << what;
    }
  }
  figure(
      "3 numerics",
      format("%d poisons (NaN/+Inf/-Inf/1e30 input at %zu settings; NaN/-1/2 on each parameter): outputs "
             "finite; back within %.0e of an unpoisoned twin for good after at most %.1f ms (%s)",
             runs, settings.size(), static_cast<double>(kTolerance), 1e3 * worst / kRate, worstWhat.c_str()));
}

}  // namespace
