#include "model/CoefficientExchange.h"

#include <cstring>

CoefficientExchange::CoefficientExchange() {
  for (auto& w : words_) w.store(0, std::memory_order_relaxed);
  publish(FrameCoefficients());
}

void CoefficientExchange::publish(const FrameCoefficients& c) {
  uint32_t raw[kWords];
  std::memcpy(raw, &c, sizeof(raw));
  while (writer_.test_and_set(std::memory_order_acquire)) {
  }
  const uint32_t s = sequence_.load(std::memory_order_relaxed);
  sequence_.store(s + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  for (int k = 0; k < kWords; ++k) words_[k].store(raw[k], std::memory_order_relaxed);
  sequence_.store(s + 2, std::memory_order_release);
  writer_.clear(std::memory_order_release);
}

bool CoefficientExchange::copy(FrameCoefficients& out, uint32_t& seen, uint32_t before) const {
  uint32_t raw[kWords];
  for (int k = 0; k < kWords; ++k) raw[k] = words_[k].load(std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_acquire);
  if (sequence_.load(std::memory_order_relaxed) != before) return false;
  // Copied word by word rather than with a library call: this runs on the audio thread.
  float values[kWords];
  for (int k = 0; k < kWords; ++k) {
    union {
      uint32_t u;
      float f;
    } v;
    v.u = raw[k];
    values[k] = v.f;
  }
  float* dst = reinterpret_cast<float*>(&out);
  for (int k = 0; k < kWords; ++k) dst[k] = values[k];
  seen = before;
  return true;
}
