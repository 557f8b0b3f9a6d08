#include "cab/FftPlan.h"

#include <kiss_fftr.h>

#include <cstddef>

static_assert(sizeof(FftComplex) == sizeof(kiss_fft_cpx) &&
                  offsetof(FftComplex, i) == offsetof(kiss_fft_cpx, i),
              "a spectrum is handed to the library as it is");

FftPlan::FftPlan(int size) : size_(size) {
  if (size < 2 || size % 2 != 0) return;
  forward_ = kiss_fftr_alloc(size, 0, nullptr, nullptr);
  inverse_ = kiss_fftr_alloc(size, 1, nullptr, nullptr);
}

FftPlan::~FftPlan() {
  kiss_fftr_free(forward_);
  kiss_fftr_free(inverse_);
}

void FftPlan::forward(const float* time, FftComplex* spectrum) const {
  kiss_fftr(forward_, time, reinterpret_cast<kiss_fft_cpx*>(spectrum));
}

void FftPlan::inverse(const FftComplex* spectrum, float* time) const {
  kiss_fftri(inverse_, reinterpret_cast<const kiss_fft_cpx*>(spectrum), time);
}
