#include "cab/FftPlan.h"

// Only this file sees the library. Its SIMD build's target defines USE_SIMD for us.
#ifndef USE_SIMD
#error "kissfft's SIMD build is expected: a vector of four lanes per value"
#endif
#include <kiss_fftr.h>

#include <cstddef>
#include <new>

static_assert(sizeof(FftPlan::Lanes) == sizeof(kiss_fft_scalar) &&
                  alignof(FftPlan::Lanes) == alignof(kiss_fft_scalar),
              "the lanes are handed to the library as they are");
static_assert(sizeof(FftPlan::LaneComplex) == sizeof(kiss_fft_cpx) &&
                  offsetof(FftPlan::LaneComplex, i) == offsetof(kiss_fft_cpx, i),
              "a spectrum is handed to the library as it is");

// The library's build for AVX and fused multiply-adds: the same sources and types, its symbols
// renamed (scripts/deps-common.sh).
extern "C" {
kiss_fftr_cfg avx_kiss_fftr_alloc(int nfft, int inverse_fft, void* mem, size_t* lenmem);
void avx_kiss_fftr(kiss_fftr_cfg cfg, const kiss_fft_scalar* timedata, kiss_fft_cpx* freqdata);
void avx_kiss_fftri(kiss_fftr_cfg cfg, const kiss_fft_cpx* freqdata, kiss_fft_scalar* timedata);
}

FftPlan::FftPlan(int size, bool avx) : size_(size), avx_(avx) {
  if (size < 2 || size % 2 != 0) return;
  try {
    time_.assign(size, Lanes{});
    spectrum_.assign((bins() + 3) / 4 * 4, LaneComplex{});
  } catch (const std::bad_alloc&) {
    return;
  }
  const auto alloc = avx ? avx_kiss_fftr_alloc : kiss_fftr_alloc;
  forward_ = alloc(size, 0, nullptr, nullptr);
  inverse_ = alloc(size, 1, nullptr, nullptr);
}

FftPlan::~FftPlan() {
  kiss_fftr_free(forward_);
  kiss_fftr_free(inverse_);
}

void FftPlan::forward() {
  (avx_ ? avx_kiss_fftr : kiss_fftr)(forward_, reinterpret_cast<const kiss_fft_scalar*>(time_.data()),
                                     reinterpret_cast<kiss_fft_cpx*>(spectrum_.data()));
}

void FftPlan::inverse() {
  (avx_ ? avx_kiss_fftri : kiss_fftri)(inverse_, reinterpret_cast<const kiss_fft_cpx*>(spectrum_.data()),
                                       reinterpret_cast<kiss_fft_scalar*>(time_.data()));
}

void FftPlan::forward(const float* time, FftComplex* spectrum) {
  for (int j = 0; j < size_; ++j) time_[j] = Lanes{time[j], 0.0f, 0.0f, 0.0f};
  forward();
  for (int b = 0; b < bins(); ++b) spectrum[b] = FftComplex{spectrum_[b].r[0], spectrum_[b].i[0]};
}

void FftPlan::inverse(const FftComplex* spectrum, float* time) {
  for (int b = 0; b < bins(); ++b) {
    spectrum_[b] =
        LaneComplex{Lanes{spectrum[b].r, 0.0f, 0.0f, 0.0f}, Lanes{spectrum[b].i, 0.0f, 0.0f, 0.0f}};
  }
  inverse();
  for (int j = 0; j < size_; ++j) time[j] = time_[j][0];
}
