// Flush-to-zero and denormals-are-zero for the duration of a processing call, with the caller's
// floating-point mode restored on exit: decaying filter and circuit states would otherwise run
// into denormal arithmetic, which is many times slower on x86.
#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define KORVALITE_HAVE_MXCSR 1
#endif

class DenormalGuard {
 public:
  DenormalGuard() {
#ifdef KORVALITE_HAVE_MXCSR
    saved_ = _mm_getcsr();
    _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
#endif
  }
  ~DenormalGuard() {
#ifdef KORVALITE_HAVE_MXCSR
    _mm_setcsr(saved_);
#endif
  }
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

 private:
#ifdef KORVALITE_HAVE_MXCSR
  static constexpr unsigned kFlushToZero = 0x8000u;
  static constexpr unsigned kDenormalsAreZero = 0x0040u;
  unsigned saved_;
#endif
};
