#include "cab/FftPlan.h"

FftPlan::FftPlan(int size) : size_(size) {
  if (size < 2 || size % 2 != 0) return;
  forward_ = kiss_fftr_alloc(size, 0, nullptr, nullptr);
  inverse_ = kiss_fftr_alloc(size, 1, nullptr, nullptr);
}

FftPlan::~FftPlan() {
  kiss_fftr_free(forward_);
  kiss_fftr_free(inverse_);
}
