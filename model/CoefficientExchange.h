// Hands the frame's coefficient set from the dispatcher side to the audio thread without a
// lock on the audio side and without the audio thread ever seeing a half-written set: a
// sequence counter around the words of the set (odd while a writer is busy), checked by the
// reader before and after its copy.
#pragma once

#include <atomic>
#include <cstdint>

#include "model/ToneFilter.h"
#include "model/TransformerFilters.h"

// Everything the audio thread takes from the dispatcher side.
struct FrameCoefficients {
  ToneCoefficients tone;
  PeakingCoefficients cut;   // 100 Hz, -12 dB, ahead of the circuit
  PeakingCoefficients lift;  // 100 Hz, +12 dB, behind it
  float hostPeriod = 1.0f / 44100.0f;
};

class CoefficientExchange {
 public:
  CoefficientExchange();

  // Dispatcher threads; writers exclude each other with a short spin, never involving the
  // audio thread.
  void publish(const FrameCoefficients& c);

  // Audio thread. Copies the latest complete set into out when it changed since the version in
  // seen; answers whether it did. A set being written keeps the previous one for now.
  bool fetch(FrameCoefficients& out, uint32_t& seen) const {
    const uint32_t before = sequence_.load(std::memory_order_acquire);
    if (before == seen || (before & 1u) != 0) return false;
    return copy(out, seen, before);
  }

 private:
  static constexpr int kWords = sizeof(FrameCoefficients) / sizeof(float);
  static_assert(sizeof(FrameCoefficients) == kWords * sizeof(float), "a set is made of floats only");

  bool copy(FrameCoefficients& out, uint32_t& seen, uint32_t before) const;

  std::atomic<uint32_t> sequence_{0};
  std::atomic<uint32_t> words_[kWords];
  std::atomic_flag writer_ = ATOMIC_FLAG_INIT;
};
