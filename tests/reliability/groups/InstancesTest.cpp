// Group 6 (the part every build shares): instances are independent. Two instances processing
// different inputs on two threads at once produce exactly what each produces alone; many
// instances created and destroyed in random order leave the memory where it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/reliability/harness/Analysis.h"
#include "tests/reliability/harness/PluginHost.h"

#ifndef KORVALITE_INSTANCE_ROUNDS
#define KORVALITE_INSTANCE_ROUNDS 100
#endif

using namespace reliability;

namespace {

std::vector<float> renderAlone(const Instance& effect, double frequency, float gain, int blocks) {
  StereoBuffers audio(128);
  std::vector<float> out;
  effect.setParameter(0, gain);
  for (int b = 0; b < blocks; ++b) {
    float** in = audio.in(128);
    fillSine(in[0], 128, frequency, 44100.0, 0.5f, 128ll * b);
    fillSine(in[1], 128, frequency * 1.5, 44100.0, 0.5f, 128ll * b);
    float** o = audio.out(128);
    effect.process(in, o, 128);
    out.insert(out.end(), o[0], o[0] + 128);
    out.insert(out.end(), o[1], o[1] + 128);
  }
  return out;
}

TEST(Instances, TwoInstancesOnTwoThreadsEqualEachAlone) {
  const int blocks = 2000 * soakFactor();
  std::vector<float> aloneA, aloneB, togetherA, togetherB;
  {
    Instance a = Instance::started();
    aloneA = renderAlone(a, 220.0, 0.9f, blocks);
  }
  {
    Instance b = Instance::started();
    aloneB = renderAlone(b, 3000.0, 0.2f, blocks);
  }
  Instance a = Instance::started();
  Instance b = Instance::started();
  std::thread ta([&] { togetherA = renderAlone(a, 220.0, 0.9f, blocks); });
  std::thread tb([&] { togetherB = renderAlone(b, 3000.0, 0.2f, blocks); });
  ta.join();
  tb.join();
  EXPECT_TRUE(aloneA == togetherA);
  EXPECT_TRUE(aloneB == togetherB);
  EXPECT_FALSE(aloneA == aloneB);
  size_t differing = 0;
  for (size_t i = 0; i < aloneA.size(); ++i)
    differing += aloneA[i] != togetherA[i] || aloneB[i] != togetherB[i];
  figure("6 instances", format("two instances on two threads, %d blocks of 128 each: samples differing from "
                               "alone %zu",
                               blocks, differing));
}

TEST(Instances, ManyInstancesInRandomOrderKeepMemoryFlat) {
  constexpr int kInstances = 64;
  const int rounds = KORVALITE_INSTANCE_ROUNDS * soakFactor();
  Rng rng(64);
  StereoBuffers audio(64);
  long long afterWarmUp = 0;
  long long peakDrift = 0;
  long long created = 0;
  const double start = wallSeconds();
  for (int round = 0; round < rounds; ++round) {
    std::vector<Instance> alive;
    // Created one by one, each processing a block among the others; destroyed in random order,
    // interleaved with new ones of the next half.
    for (int i = 0; i < kInstances; ++i) {
      alive.push_back(Instance::started());
      ASSERT_TRUE(alive.back());
      ++created;
      float** in = audio.in(64);
      fillSine(in[0], 64, 440.0, 44100.0, 0.5f);
      fillSine(in[1], 64, 440.0, 44100.0, 0.5f);
      alive[rng.below(static_cast<uint32_t>(alive.size()))].process(in, audio.out(64), 64);
      if (rng.below(4) == 0) {
        alive.erase(alive.begin() + rng.below(static_cast<uint32_t>(alive.size())));
      }
    }
    while (!alive.empty()) alive.erase(alive.begin() + rng.below(static_cast<uint32_t>(alive.size())));
    const long long now = allocatedBytes();
    if (round == 4) afterWarmUp = now;
    if (round > 4) peakDrift = std::max(peakDrift, now - afterWarmUp);
  }
  // Less than one instance's worth (an instance holds far more than this).
  EXPECT_LT(peakDrift, 256 * 1024) << peakDrift << " bytes";
  figure("6 instances", format("%d rounds of up to %d instances created and destroyed in random order (%lld "
                               "created): memory drift after round 5 at most %lld bytes, %.1f s",
                               rounds, kInstances, created, peakDrift, wallSeconds() - start));
}

}  // namespace
