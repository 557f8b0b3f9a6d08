// A real FFT of one size, forward and inverse, over the FFT library (kissfft, its SIMD build).
// That build transforms four signals at once, one per lane of a vector: the convolver gives its
// two channels two lanes, so a stereo transform costs what a mono one does. The plan owns the
// library's tables and its lane buffers, so one plan must not run on two threads at once: each
// convolver keeps plans of its own. Made off the audio thread (it allocates); the transforms
// allocate nothing and may run on the audio thread.
#pragma once

#include <vector>

// One complex value of a spectrum.
struct FftComplex {
  float r;
  float i;
};

struct kiss_fftr_state;

class FftPlan {
 public:
  // Four signals' values, one per lane; laid out as the library's vectors (FftPlan.cpp checks).
  typedef float Lanes __attribute__((vector_size(16)));
  struct LaneComplex {
    Lanes r;
    Lanes i;
  };

  // Any thread but the audio thread. size: even; valid() answers false when the library could
  // not make the plan (no memory). avx: the transforms run in the library's build for processors
  // with AVX and fused multiply-adds, which the caller has checked this one has.
  explicit FftPlan(int size, bool avx = false);
  ~FftPlan();
  FftPlan(const FftPlan&) = delete;
  FftPlan& operator=(const FftPlan&) = delete;

  bool valid() const { return forward_ != nullptr && inverse_ != nullptr; }
  int size() const { return size_; }
  int bins() const { return size_ / 2 + 1; }

  // The lanes' transforms in place: time() holds size() values of each lane, spectrum() bins(),
  // followed by room up to a multiple of four bins that the transforms never touch (so a caller
  // may go over the spectrum four bins at a time).
  // The inverse is not scaled: a forward and an inverse transform multiply by size().
  Lanes* time() { return time_.data(); }
  LaneComplex* spectrum() { return spectrum_.data(); }
  void forward();  // time() -> spectrum()
  void inverse();  // spectrum() -> time()

  // One signal, through the first lane. time: size() samples; spectrum: bins() values.
  void forward(const float* time, FftComplex* spectrum);
  void inverse(const FftComplex* spectrum, float* time);

 private:
  int size_;
  bool avx_;
  kiss_fftr_state* forward_ = nullptr;
  kiss_fftr_state* inverse_ = nullptr;
  std::vector<Lanes> time_;
  std::vector<LaneComplex> spectrum_;
};
