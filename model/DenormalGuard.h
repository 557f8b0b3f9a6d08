// Flush-to-zero and denormals-are-zero for the duration of a processing call, with the caller's
// floating-point mode restored on exit: decaying filter and circuit states would otherwise run
// into denormal arithmetic, which is many times slower on x86.
#pragma once

#include <xmmintrin.h>

class DenormalGuard {
 public:
  DenormalGuard() {
    saved_ = _mm_getcsr();
    _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
  }
  ~DenormalGuard() { _mm_setcsr(saved_); }
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

 private:
  static constexpr unsigned kFlushToZero = 0x8000u;
  static constexpr unsigned kDenormalsAreZero = 0x0040u;
  unsigned saved_;
};
