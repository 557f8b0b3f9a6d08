// A real FFT of one size, forward and inverse, over the FFT library (kissfft). The plan owns the
// library's tables and its work buffer, so one plan must not run on two threads at once: each
// convolver keeps plans of its own. Made off the audio thread (it allocates); forward and
// inverse allocate nothing and may run on the audio thread.
#pragma once

// One complex value of a spectrum, laid out as the FFT library's own (FftPlan.cpp checks), so
// headers that use plans need not see the library's.
struct FftComplex {
  float r;
  float i;
};

struct kiss_fftr_state;

class FftPlan {
 public:
  // Any thread but the audio thread. size: even; valid() answers false when the library could
  // not make the plan (no memory).
  explicit FftPlan(int size);
  ~FftPlan();
  FftPlan(const FftPlan&) = delete;
  FftPlan& operator=(const FftPlan&) = delete;

  bool valid() const { return forward_ != nullptr && inverse_ != nullptr; }
  int size() const { return size_; }
  int bins() const { return size_ / 2 + 1; }

  // time: size() samples; spectrum: bins() values. The inverse is not scaled: a forward and an
  // inverse transform multiply by size().
  void forward(const float* time, FftComplex* spectrum) const;
  void inverse(const FftComplex* spectrum, float* time) const;

 private:
  int size_;
  kiss_fftr_state* forward_ = nullptr;
  kiss_fftr_state* inverse_ = nullptr;
};
