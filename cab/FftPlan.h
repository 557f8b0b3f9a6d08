// A real FFT of one size, forward and inverse, over the FFT library (kissfft). The plan owns the
// library's tables and its work buffer, so one plan must not run on two threads at once: each
// convolver keeps plans of its own. Made off the audio thread (it allocates); forward and
// inverse allocate nothing and may run on the audio thread.
#pragma once

#include <kiss_fftr.h>

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
  void forward(const float* time, kiss_fft_cpx* spectrum) const { kiss_fftr(forward_, time, spectrum); }
  void inverse(const kiss_fft_cpx* spectrum, float* time) const { kiss_fftri(inverse_, spectrum, time); }

 private:
  int size_;
  kiss_fftr_cfg forward_ = nullptr;
  kiss_fftr_cfg inverse_ = nullptr;
};
