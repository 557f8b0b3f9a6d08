// The hand-over of coefficient sets from the dispatcher side to the audio thread: a reader
// running while writers publish never sees a set mixed from two publications.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "model/CoefficientExchange.h"

namespace {

FrameCoefficients uniform(float v) {
  FrameCoefficients c;
  c.tone = {v, v, v};
  c.cut = {v, v, v, v, v, v};
  c.lift = {v, v, v, v, v, v};
  c.hostPeriod = v;
  return c;
}

bool isUniform(const FrameCoefficients& c) {
  const float v = c.hostPeriod;
  const float all[] = {c.tone.b0, c.tone.a1, c.tone.g,  c.cut.b0,    c.cut.b1,
                       c.cut.b2,  c.cut.a1,  c.cut.a2,  c.cut.invA0, c.lift.b0,
                       c.lift.b1, c.lift.b2, c.lift.a1, c.lift.a2,   c.lift.invA0};
  for (float x : all) {
    if (x != v) return false;
  }
  return true;
}

TEST(CoefficientExchange, ReaderNeverSeesAHalfWrittenSet) {
  CoefficientExchange exchange;
  exchange.publish(uniform(0.0f));
  std::atomic<bool> stop{false};
  std::vector<std::thread> writers;
  for (int w = 0; w < 2; ++w) {
    writers.emplace_back([&exchange, &stop, w] {
      for (int k = 1; !stop.load(); ++k) exchange.publish(uniform(static_cast<float>(k * 2 + w)));
    });
  }
  FrameCoefficients seen = uniform(0.0f);
  uint32_t version = 0;
  int adopted = 0;
  // Bounded by work, not time, but never given up before the first adoption: on a loaded
  // machine a writer can be descheduled half-way through a set for a whole time slice, and
  // the reader then rightly sees nothing new for that long.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (int i = 0; adopted < 20000 && (i < 2000000 || adopted == 0); ++i) {
    if ((i & 0xffff) == 0 && std::chrono::steady_clock::now() > deadline) break;
    if (exchange.fetch(seen, version)) {
      ++adopted;
      ASSERT_TRUE(isUniform(seen)) << "torn set after " << adopted << " updates";
    }
  }
  stop = true;
  for (auto& t : writers) t.join();
  EXPECT_GT(adopted, 0);
  // Once the writers are done, the last set arrives.
  exchange.publish(uniform(-1.0f));
  EXPECT_TRUE(exchange.fetch(seen, version));
  EXPECT_EQ(seen.hostPeriod, -1.0f);
  EXPECT_FALSE(exchange.fetch(seen, version)) << "nothing new to adopt";
}

}  // namespace
