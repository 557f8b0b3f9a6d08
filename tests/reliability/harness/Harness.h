// The reliability battery's shared harness: pages with a guard behind them, a seeded random
// source, the counts of the CI tier and the soak, the host's floating-point control state,
// clocks, the process's allocated memory and the one-line figures each group reports.
// Built into the native programs (Linux) and the Windows programs run under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace reliability {

// 1 in the CI tier; 10 when KORVALITE_SOAK is set to anything but "0" (the soak).
int soakFactor();
bool soaking();

// Prints "[figure] <group>: <text>" on one line, for the record.
void figure(const char* group, const std::string& text);
#ifdef _WIN32
// The C++ runtime of mingw-w64 formats the GNU way (%zu, %lld).
std::string format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
#endif

// Memory whose usable bytes end exactly where an inaccessible page begins: a write or read one
// byte past the end of what `at` hands out faults at once, with or without a sanitizer.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t capacity);
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  // The last `bytes` bytes before the guard page (bytes <= capacity).
  char* at(size_t bytes);
  template <typename T>
  T* last(size_t count) {
    return reinterpret_cast<T*>(at(count * sizeof(T)));
  }
  size_t capacity() const { return capacity_; }

 private:
  char* base_ = nullptr;
  char* guard_ = nullptr;
  size_t mapped_ = 0;
  size_t capacity_ = 0;
};

// splitmix64: the same sequence on every platform for a seed.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t next();
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
  float uniform() { return static_cast<float>(next() >> 40) / 16777216.0f; }  // [0, 1)

 private:
  uint64_t state_;
};

// MXCSR and the x87 control word: what a call must leave as it found it.
struct FpState {
  uint32_t mxcsr;
  uint16_t x87;
  bool operator==(const FpState& o) const { return mxcsr == o.mxcsr && x87 == o.x87; }
  bool operator!=(const FpState& o) const { return !(*this == o); }
};
FpState readFpState();
void writeFpState(const FpState& s);
// The host's usual mode: round to nearest, all exceptions masked, flush-to-zero and
// denormals-are-zero off.
FpState hostDefaultFpState();

// Seconds of CPU time of the calling thread (wall time under Wine, whose thread times are too
// coarse), and a monotonic wall clock.
double threadSeconds();
double wallSeconds();

// Bytes the process has allocated now (the sanitizer's count natively, committed private
// memory on Windows).
long long allocatedBytes();

}  // namespace reliability
