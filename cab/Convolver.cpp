#include "cab/Convolver.h"

#include <new>
#include <type_traits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

using namespace PartitionLayout;

namespace {

typedef FftPlan::Lanes V4;

// The most partitions a stage holds.
constexpr int kMaxPartitions = 32;
static_assert(partitions(0, kMaxTaps) <= kMaxPartitions && partitions(1, kMaxTaps) <= kMaxPartitions &&
                  partitions(2, kMaxTaps) <= kMaxPartitions,
              "the partitions' places fit");
static_assert(ImpulseResponse::kBinGroup == 4, "the products run over four bins to a vector");
// The head's sums run over up to 32 outputs at a time and may read that far past the run.
constexpr int kHeadGroup = 32;
// What the sums start from without stages.
alignas(32) const float kSilence[kPeriod + kHeadGroup] = {};
// The head's input line: kLineHistory of history, then the runs one after another, and only when
// the next one would pass kLineRun does the history move back to the line's start (moving it
// after every run cost as much as a sixth of the head's sums). The history reaches kHeadTaps back
// from the start of the first stage's block (the sums over pairs go over whole blocks); the sums
// may read to the end of the block, and a group past it.
constexpr int kLineRun = 256;
constexpr int kLineHistory = kHeadTaps + kEarlyTap;
constexpr int kLineLength = kLineHistory + kLineRun + kEarlyTap + kHeadGroup;
static_assert(kLineRun >= kEarlyTap, "a run fits the line");
static_assert(kHeadTaps % 4 == 0 && kEarlyTap % 4 == 0, "the head's taps come four at a time");

V4 load(const float* p) {
  V4 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
void store(float* p, V4 v) {
  __builtin_memcpy(p, &v, sizeof v);
}

// Rows become columns: a, b, c, d each hold four values; afterwards a holds the first value of
// each, b the second, and so on.
void transpose(V4& a, V4& b, V4& c, V4& d) {
  const V4 t0 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
  const V4 t1 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const V4 t2 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
  const V4 t3 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
  b = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
  c = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
  d = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// The first four bins of a packed spectrum (see ImpulseResponse::real), for complex products that
// give bin 0 (real) and the last bin (real, carried in bin 0's imaginary part) their own real
// products: hr keeps the first bin's value, hi loses the last bin's, and hr2, which the products
// take for their imaginary parts' second term, gets it.
void unpack(V4& hr, V4& hi, V4& hr2) {
  hr2 = __builtin_shufflevector(hr, hi, 4, 1, 2, 3);
  hi = __builtin_shufflevector(hi, V4{}, 4, 1, 2, 3);
}

// c + a·b and c − a·b: rounded twice, as any x86-64 computes them...
struct PlainMath {
  static constexpr bool kWide = false;
  static V4 madd(V4 a, V4 b, V4 c) { return c + a * b; }
  static V4 nmadd(V4 a, V4 b, V4 c) { return c - a * b; }
};

#if defined(__x86_64__)
// ...or once, in one instruction: the head's and the products' sums are nearly all of the
// convolver's arithmetic, and this halves their instructions. The head, the largest part, then
// runs eight outputs to a vector.
struct FusedMath {
  static constexpr bool kWide = true;
  __attribute__((target("fma"))) static V4 madd(V4 a, V4 b, V4 c) { return _mm_fmadd_ps(a, b, c); }
  __attribute__((target("fma"))) static V4 nmadd(V4 a, V4 b, V4 c) { return _mm_fnmadd_ps(a, b, c); }
};

// The head's sums with 32-byte vectors, 32 outputs of each channel at a time (n a multiple of
// 32): output i is the sum over the taps k of tap k times x0[i - k] (x1 for the second channel),
// from z0[i] (z1[i]) into y0[i] (y1[i]). Each input is broadcast and meets, for each group of
// eight outputs it reaches, the window of eight taps that weighs it there (windows: see
// ImpulseResponse::pairWindows). So the inputs are read one at a time from a single line, and
// both channels share each window's read. The windows overlap in one row of taps and their reads
// start anywhere: as fast as windows of their own on 32-byte boundaries, in an eighth of the room.
//
// One sweep: the inputs from..to-1, into the groups kFirst..kLast of the 32 outputs from i.
template <int kChannels, int kStride, int kFirst, int kLast>
__attribute__((target("avx,fma"), always_inline)) inline void sweep(const float* windows, int from, int to,
                                                                    int i, const float* x0, const float* x1,
                                                                    __m256* a, __m256* b) {
  const float* w = windows + (i - from + 7);
#pragma GCC unroll 1
  for (int j = from; j < to; ++j, --w) {
    const __m256 u = _mm256_broadcast_ss(x0 + kStride * j);
    const __m256 v = kChannels == 2 ? _mm256_broadcast_ss(x1 + kStride * j) : u;
#pragma GCC unroll 4
    for (int m = kFirst; m <= kLast; ++m) {
      __m256 h = _mm256_loadu_ps(w + 8 * m);
      // In a register: the compiler would read it once for each channel.
      if constexpr (kChannels == 2) __asm__("" : "+x"(h));
      a[m] = _mm256_fmadd_ps(u, h, a[m]);
      if constexpr (kChannels == 2) b[m] = _mm256_fmadd_ps(v, h, b[m]);
    }
  }
}

// Input j is x0[kStride * j] (x1[kStride * j]).
template <int kChannels, int kStride = 1>
__attribute__((target("avx,fma"))) void wideHead(const float* windows, int count, const float* x0,
                                                 const float* x1, const float* z0, const float* z1, float* y0,
                                                 float* y1, int n) {
  for (int i = 0; i < n; i += 32) {
    __m256 a[4], b[4];
    for (int m = 0; m < 4; ++m) {
      a[m] = _mm256_loadu_ps(z0 + i + 8 * m);
      b[m] = kChannels == 2 ? _mm256_loadu_ps(z1 + i + 8 * m) : a[m];
    }
    // Group m reaches back to input i + 8m - count + 1 and forward to i + 8m + 7: the oldest
    // inputs meet only the first groups, the newest only the last.
    const int first = i - count + 1;
    sweep<kChannels, kStride, 0, 0>(windows, first, first + 8, i, x0, x1, a, b);
    sweep<kChannels, kStride, 0, 1>(windows, first + 8, first + 16, i, x0, x1, a, b);
    sweep<kChannels, kStride, 0, 2>(windows, first + 16, first + 24, i, x0, x1, a, b);
    sweep<kChannels, kStride, 0, 3>(windows, first + 24, i + 8, i, x0, x1, a, b);
    sweep<kChannels, kStride, 1, 3>(windows, i + 8, i + 16, i, x0, x1, a, b);
    sweep<kChannels, kStride, 2, 3>(windows, i + 16, i + 24, i, x0, x1, a, b);
    sweep<kChannels, kStride, 3, 3>(windows, i + 24, i + 32, i, x0, x1, a, b);
    for (int m = 0; m < 4; ++m) {
      _mm256_storeu_ps(y0 + i + 8 * m, a[m]);
      if constexpr (kChannels == 2) _mm256_storeu_ps(y1 + i + 8 * m, b[m]);
    }
  }
}

// The head's sums over its first count taps for a block of the first stage, over sample pairs,
// with three quarters of the multiplications (a two-way fast FIR filter). With e, o the pairs' first and
// second inputs, s their sums and h0, h1, h0 + h1 the head's even taps, odd taps and their sums,
// over half as many taps each:
//   A = h0 * e, B = h1 * o, C = (h0 + h1) * s (sums over pairs), and for pair m
//   output 2m = A[m] + B[m - 1], output 2m + 1 = C[m] - A[m] - B[m].
// Whatever part of the block a run holds, the block's outputs are computed whole and in the same
// order, so the sound does not depend on how the host cuts its blocks; the outputs past the run
// (from inputs not yet heard) are not used. x0, x1: the block's first input in the line (which
// starts a pair); s0, s1: its pair's sum. The run's outputs, offset..offset+n-1 of the block,
// start from z0, z1 and go to y0, y1.
template <int kChannels>
__attribute__((target("avx,fma"))) void pairHead(const ImpulseResponse& ir, int count, const float* x0,
                                                 const float* x1, const float* s0, const float* s1,
                                                 const float* z0, const float* z1, float* y0, float* y1,
                                                 int offset, int n) {
  constexpr int kPairs = kEarlyTap / 2;
  const int taps = count / 2;
  alignas(32) float a[2][kPairs], b[2][kPairs + 8], c[2][kPairs];  // b[.][7] is B[-1]
  alignas(32) float block[2][kEarlyTap];
  wideHead<kChannels, 2>(ir.pairWindows(count, 0), taps, x0, x1, kSilence, kSilence, a[0], a[1], kPairs);
  wideHead<kChannels, 2>(ir.pairWindows(count, 1), taps, x0 + 1, x1 + 1, kSilence, kSilence, b[0] + 8,
                         b[1] + 8, kPairs);
  wideHead<kChannels, 1>(ir.pairWindows(count, 2), taps, s0, s1, kSilence, kSilence, c[0], c[1], kPairs);
  const float* x[2] = {x0, x1};
  const float* z[2] = {z0, z1};
  float* y[2] = {y0, y1};
  for (int ch = 0; ch < kChannels; ++ch) {
    // B[-1], the pair before the block: the odd taps against the inputs before it.
    const float* odd = ir.oddTapsBack(count);
    const float* before = x[ch] - count;
    __m256 d0 = _mm256_setzero_ps(), d1 = d0, d2 = d0, d3 = d0;
    for (int j = 0; j < count; j += 32) {
      d0 = _mm256_fmadd_ps(_mm256_load_ps(odd + j), _mm256_loadu_ps(before + j), d0);
      d1 = _mm256_fmadd_ps(_mm256_load_ps(odd + j + 8), _mm256_loadu_ps(before + j + 8), d1);
      d2 = _mm256_fmadd_ps(_mm256_load_ps(odd + j + 16), _mm256_loadu_ps(before + j + 16), d2);
      d3 = _mm256_fmadd_ps(_mm256_load_ps(odd + j + 24), _mm256_loadu_ps(before + j + 24), d3);
    }
    const __m256 d = _mm256_add_ps(_mm256_add_ps(d0, d1), _mm256_add_ps(d2, d3));
    __m128 q = _mm_add_ps(_mm256_castps256_ps128(d), _mm256_extractf128_ps(d, 1));
    q = _mm_add_ps(q, _mm_movehl_ps(q, q));
    q = _mm_add_ss(q, _mm_movehdup_ps(q));
    b[ch][7] = _mm_cvtss_f32(q);
    for (int m = 0; m < kPairs; m += 4) {
      const __m128 am = _mm_load_ps(a[ch] + m), bm = _mm_load_ps(b[ch] + 8 + m);
      const __m128 first = _mm_add_ps(am, _mm_loadu_ps(b[ch] + 7 + m));
      const __m128 second = _mm_sub_ps(_mm_sub_ps(_mm_load_ps(c[ch] + m), am), bm);
      _mm_store_ps(block[ch] + 2 * m, _mm_unpacklo_ps(first, second));
      _mm_store_ps(block[ch] + 2 * m + 4, _mm_unpackhi_ps(first, second));
    }
    const float* from = block[ch] + offset;
    int j = 0;
    for (; j + 4 <= n; j += 4)
      _mm_storeu_ps(y[ch] + j, _mm_add_ps(_mm_loadu_ps(z[ch] + j), _mm_loadu_ps(from + j)));
    for (; j < n; ++j) y[ch][j] = z[ch][j] + from[j];
  }
}

bool fusedAvailable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx") && __builtin_cpu_supports("fma");
}
#else
bool fusedAvailable() {
  return false;
}
#endif

}  // namespace

Convolver::Convolver() : fused_(fusedAvailable()) {}

bool Convolver::useFusedMultiplyAdd(bool on) {
  fused_ = on && fusedAvailable();
  return fused_ == on;
}

bool Convolver::prepare(std::shared_ptr<const ImpulseResponse> ir) {
  ir_.reset();
  stages_ = 0;
  if (ir == nullptr) return false;
  try {
    int stages = 0;
    while (stages < kStages && ir->partitions(stages) > 0) ++stages;
    // The stages read their last three blocks; a power of two holds them and is a multiple of
    // every period, so a run's inputs never wrap within it.
    const int ring = stages > 0 ? 4 * kStage[stages - 1].block : kPeriod;
    for (int c = 0; c < 2; ++c) {
      line_[c].assign(kLineLength, 0.0f);
      pairs_[c].assign(kLineLength / 2 + 4, 0.0f);
      sum_[c].assign(kPeriod + kHeadGroup, 0.0f);
      ring_[c].assign(ring, 0.0f);
    }
    ringMask_ = static_cast<uint32_t>(ring - 1);
    for (int s = 0; s < kStages; ++s) {
      StageState& st = stage_[s];
      st = StageState();
      if (s >= stages) continue;
      const int block = kStage[s].block;
      st.depth = ir->partitions(s) + kStage[s].start / block;
      for (int c = 0; c < 2; ++c) {
        st.real[c].assign(static_cast<size_t>(st.depth) * ImpulseResponse::stride(s), 0.0f);
        st.imaginary[c].assign(st.real[c].size(), 0.0f);
        st.out[c].assign(2 * block + kHeadGroup, 0.0f);
      }
      st.plan.reset(new FftPlan(2 * block, fused_));
      if (!st.plan->valid()) return false;
    }
    stages_ = stages;
    ir_ = std::move(ir);
    reset();
    return true;
  } catch (const std::bad_alloc&) {
    stages_ = 0;
    return false;
  }
}

void Convolver::reset() {
  n_ = 0;
  linePosition_ = 0;
  for (int c = 0; c < 2; ++c) {
    for (float& v : line_[c]) v = 0.0f;
    for (float& v : pairs_[c]) v = 0.0f;
    for (float& v : ring_[c]) v = 0.0f;
  }
  for (int s = 0; s < stages_; ++s) {
    StageState& st = stage_[s];
    st.at = 0;
    for (int c = 0; c < 2; ++c) {
      for (float& v : st.real[c]) v = 0.0f;
      for (float& v : st.imaginary[c]) v = 0.0f;
      for (float& v : st.out[c]) v = 0.0f;
    }
  }
}

void Convolver::process(float* l, float* r, int n, int channels) {
  if (ir_ == nullptr || n <= 0) return;
  if (fused_) {
    runFused(l, r, n, channels);
  } else {
    runPlain(l, r, n, channels);
  }
}

// Everything the run calls is compiled into these two, once for any processor and once with
// fused multiply-adds (only the second uses them, so no shared code carries them to a processor
// without them). The 64-bit Windows compiler cannot align 32-byte vectors on the stack: there
// the assembler makes every vector move an unaligned one (CMakeLists.txt).
__attribute__((flatten)) void Convolver::runPlain(float* l, float* r, int n, int channels) {
  run<PlainMath>(l, r, n, channels);
}

#if defined(__x86_64__)
__attribute__((target("avx,fma"), flatten)) void Convolver::runFused(float* l, float* r, int n,
                                                                     int channels) {
  run<FusedMath>(l, r, n, channels);
}
#else
void Convolver::runFused(float* l, float* r, int n, int channels) {
  run<PlainMath>(l, r, n, channels);
}
#endif

template <class Math>
void Convolver::run(float* l, float* r, int n, int channels) {
  for (int done = 0; done < n;) {
    const int left = n - done;
    const int toEnd = kEarlyTap - static_cast<int>(n_ & (kEarlyTap - 1));
    const int len = left < toEnd ? left : toEnd;
    if (channels == 2) {
      piece<Math, 2>(l + done, r + done, len);
    } else {
      piece<Math, 1>(l + done, nullptr, len);
    }
    done += len;
  }
}

template <class Math, int kChannels>
void Convolver::piece(float* l, float* r, int n) {
  // With one channel, the second channel's history follows the first's, as the circuit's second
  // lane does: when the host connects the second input again, that channel goes on from the
  // sound both outputs were playing, not from the last sound it heard before it stopped.
  const float* in[2] = {l, kChannels == 2 ? r : l};
  const uint32_t at = n_ & ringMask_;
  // The moves are a few hundred bytes each: vector loops, where a library call would cost more
  // than the move itself. The history moves back in vectors from the front: each is read before
  // the ones below it are written.
  // The line moves back by an even count, so its even positions always start the pairs the
  // wide sums go over (see pairHead), and the pairs' sums move back with it.
  if (linePosition_ + n > kLineRun) {
    const int shift = linePosition_ & ~1;
    for (int c = 0; c < 2; ++c) {
      float* x = line_[c].data();
      for (int j = 0; j < kLineHistory + 4; j += 4) store(x + j, load(x + shift + j));
      if constexpr (Math::kWide) {
        float* p = pairs_[c].data();
        for (int j = 0; j < kLineHistory / 2 + 4; j += 4) store(p + j, load(p + shift / 2 + j));
      }
    }
    linePosition_ -= shift;
  }
  const int first = linePosition_ + kLineHistory;
  for (int c = 0; c < 2; ++c) {
    float* x = line_[c].data() + first;
    float* ring = ring_[c].data() + at;
    int j = 0;
    for (; j + 4 <= n; j += 4) {
      const V4 v = load(in[c] + j);
      store(ring + j, v);
      store(x + j, v);
    }
    for (; j < n; ++j) ring[j] = x[j] = in[c][j];
    if constexpr (Math::kWide) {
      // The sums of the pairs the run touches; a last pair the run only begins gets its sum again
      // with the next run.
      const float* line = line_[c].data();
      float* p = pairs_[c].data();
      int q = first >> 1;
      const int last = (first + n - 1) >> 1;
      for (; q + 4 <= last + 1; q += 4) {
        const V4 u = load(line + 2 * q), v = load(line + 2 * q + 4);
        store(p + q, __builtin_shufflevector(u, v, 0, 2, 4, 6) + __builtin_shufflevector(u, v, 1, 3, 5, 7));
      }
      for (; q <= last; ++q) p[q] = line[2 * q] + line[2 * q + 1];
    }
  }

  // The head's sums start from what the stages computed for the run (as far as the last vector
  // of sums reaches: their buffers have room for it).
  const float* from[2];
  for (int c = 0; c < kChannels; ++c) {
    if (stages_ == 0) {
      from[c] = kSilence;
    } else {
      from[c] = stage_[0].out[c].data() + (n_ & (2 * kStage[0].block - 1));
    }
    if (stages_ > 1) {
      float* y = sum_[c].data();
      const int reach = (n + kHeadGroup - 1) / kHeadGroup * kHeadGroup;
      for (int j = 0; j < reach; ++j) y[j] = from[c][j];
      for (int s = 1; s < stages_; ++s) {
        const float* out = stage_[s].out[c].data() + (n_ & (2 * kStage[s].block - 1));
        for (int j = 0; j < reach; ++j) y[j] = y[j] + out[j];
      }
      from[c] = y;
    }
  }
  // The first block of the first stage's period takes the head's later taps from the stage.
  const int count = stages_ > 0 && (n_ & kEarlyTap) == 0 ? kEarlyTap : kHeadTaps;
#if defined(__x86_64__)
  if constexpr (Math::kWide) {
    // The wide sums go over sample pairs, a first-stage block at a time (a block starts at an even
    // sample, and so at an even place in the line).
    const int offset = static_cast<int>(n_ & (kEarlyTap - 1));
    const int start = first - offset;
    pairHead<kChannels>(*ir_, count, line_[0].data() + start, line_[kChannels - 1].data() + start,
                        pairs_[0].data() + start / 2, pairs_[kChannels - 1].data() + start / 2, from[0],
                        from[kChannels - 1], l, kChannels == 2 ? r : l, offset, n);
  } else {
    head<Math, kChannels>(n, count, from, l, r);
  }
#else
  head<Math, kChannels>(n, count, from, l, r);
#endif

  linePosition_ += n;
  n_ += static_cast<uint32_t>(n);
  if (stages_ > 0 && (n_ & (kPeriod - 1)) == 0) runStages<Math>(kChannels);
}

// The whole groups of outputs go straight to the run's buffers, the last part of one through
// sum_ (the sums would write past the run).
template <class Math, int kChannels>
void Convolver::head(int n, int count, const float* const* from, float* l, float* r) {
  constexpr int kGroup = 16;
  const int whole = n / kGroup * kGroup;
  float* y[2] = {l, kChannels == 2 ? r : l};
  if (whole > 0) headSums<Math, kChannels>(count, 0, from[0], from[kChannels - 1], y[0], y[1], whole);
  if (whole < n) {
    headSums<Math, kChannels>(count, whole, from[0] + whole, from[kChannels - 1] + whole, sum_[0].data(),
                              sum_[1].data(), kGroup);
    for (int c = 0; c < kChannels; ++c) {
      for (int j = 0; j < n - whole; ++j) y[c][whole + j] = sum_[c][j];
    }
  }
}

// Sixteen (or 32) outputs of each channel at a time in four vectors, their taps' products summed
// in order from the newest input back: each tap's value is loaded once for all of them. Outputs
// at..at+n of the run (n a multiple of the group), from z0 and z1 into y0 and y1.
template <class Math, int kChannels>
void Convolver::headSums(int count, int at, const float* z0, const float* z1, float* y0, float* y1, int n) {
  const float* taps = ir_->head();
  // The outputs' first sample in the line.
  const int first = kLineHistory + linePosition_ + at;
  const float* x0 = line_[0].data();
  const float* x1 = line_[kChannels - 1].data();
  for (int i = 0; i < n; i += 16) {
    V4 a0 = load(z0 + i), a1 = load(z0 + i + 4), a2 = load(z0 + i + 8), a3 = load(z0 + i + 12);
    V4 b0 = load(z1 + i), b1 = load(z1 + i + 4), b2 = load(z1 + i + 8), b3 = load(z1 + i + 12);
    for (int k = 0; k < count; ++k) {
      const V4 h = load(taps + 4 * k);
      const float* p = x0 + first + i - k;
      a0 = Math::madd(h, load(p), a0);
      a1 = Math::madd(h, load(p + 4), a1);
      a2 = Math::madd(h, load(p + 8), a2);
      a3 = Math::madd(h, load(p + 12), a3);
      if constexpr (kChannels == 2) {
        const float* q = x1 + first + i - k;
        b0 = Math::madd(h, load(q), b0);
        b1 = Math::madd(h, load(q + 4), b1);
        b2 = Math::madd(h, load(q + 8), b2);
        b3 = Math::madd(h, load(q + 12), b3);
      }
    }
    store(y0 + i, a0);
    store(y0 + i + 4, a1);
    store(y0 + i + 8, a2);
    store(y0 + i + 12, a3);
    if constexpr (kChannels == 2) {
      store(y1 + i, b0);
      store(y1 + i + 4, b1);
      store(y1 + i + 8, b2);
      store(y1 + i + 12, b3);
    }
  }
}

// Four bins at a time, their sums over the partitions kept in registers (summed over the bins,
// each partition's products would go through memory once per partition); both channels and both
// coming blocks in the same pass, so each partition's response is loaded once for all four.
template <class Math, int kChannels>
void Convolver::multiply(StageState& st, int s, const int* fromA, const int* fromB) {
  const int newest = st.at * ImpulseResponse::stride(s);
  const int stride = ImpulseResponse::stride(s);
  const int partitions = ir_->partitions(s);
  const float* realIn0 = st.real[0].data();
  const float* imaginaryIn0 = st.imaginary[0].data();
  const float* realIn1 = st.real[kChannels - 1].data();
  const float* imaginaryIn1 = st.imaginary[kChannels - 1].data();
  const float* responseReal = ir_->real(s, 0);
  const float* responseImaginary = ir_->imaginary(s, 0);
  FftPlan::LaneComplex* spectrum = st.plan->spectrum();
  // The first four bins apart: they hold the packed bins (see unpack), and a test in the loop over
  // the partitions would slow every group's products.
  const auto group = [&](int b, auto first) {
    constexpr bool kFirst = decltype(first)::value;
    V4 ar0 = {}, ai0 = {}, br0 = {}, bi0 = {};  // the first channel's sums, for each coming block
    V4 ar1 = {}, ai1 = {}, br1 = {}, bi1 = {};  // the second's
    if (s == 0) {
      // The head's later taps, for the first coming block, meet the newest input spectrum.
      V4 hr = load(ir_->earlyReal() + b), hi = load(ir_->earlyImaginary() + b), hr2 = hr;
      if constexpr (kFirst) unpack(hr, hi, hr2);
      const V4 xr = load(realIn0 + newest + b), xi = load(imaginaryIn0 + newest + b);
      ar0 = Math::nmadd(xi, hi, xr * hr);
      ai0 = Math::madd(xi, hr2, xr * hi);
      if constexpr (kChannels == 2) {
        const V4 yr = load(realIn1 + newest + b), yi = load(imaginaryIn1 + newest + b);
        ar1 = Math::nmadd(yi, hi, yr * hr);
        ai1 = Math::madd(yi, hr2, yr * hi);
      }
    }
    for (int k = 0; k < partitions; ++k) {
      V4 hr = load(responseReal + k * stride + b), hi = load(responseImaginary + k * stride + b), hr2 = hr;
      if constexpr (kFirst) unpack(hr, hi, hr2);
      const int a = fromA[k] + b;
      const int c = fromB[k] + b;
      {
        const V4 xr = load(realIn0 + a), xi = load(imaginaryIn0 + a);
        ar0 = Math::nmadd(xi, hi, Math::madd(xr, hr, ar0));
        ai0 = Math::madd(xi, hr2, Math::madd(xr, hi, ai0));
        const V4 yr = load(realIn0 + c), yi = load(imaginaryIn0 + c);
        br0 = Math::nmadd(yi, hi, Math::madd(yr, hr, br0));
        bi0 = Math::madd(yi, hr2, Math::madd(yr, hi, bi0));
      }
      if constexpr (kChannels == 2) {
        const V4 xr = load(realIn1 + a), xi = load(imaginaryIn1 + a);
        ar1 = Math::nmadd(xi, hi, Math::madd(xr, hr, ar1));
        ai1 = Math::madd(xi, hr2, Math::madd(xr, hi, ai1));
        const V4 yr = load(realIn1 + c), yi = load(imaginaryIn1 + c);
        br1 = Math::nmadd(yi, hi, Math::madd(yr, hr, br1));
        bi1 = Math::madd(yi, hr2, Math::madd(yr, hi, bi1));
      }
    }
    if constexpr (kChannels == 1) {
      ar1 = ar0, ai1 = ai0, br1 = br0, bi1 = bi0;
    }
    transpose(ar0, ar1, br0, br1);
    transpose(ai0, ai1, bi0, bi1);
    spectrum[b] = FftPlan::LaneComplex{ar0, ai0};
    spectrum[b + 1] = FftPlan::LaneComplex{ar1, ai1};
    spectrum[b + 2] = FftPlan::LaneComplex{br0, bi0};
    spectrum[b + 3] = FftPlan::LaneComplex{br1, bi1};
  };
  group(0, std::true_type());
  for (int b = 4; b < ImpulseResponse::bins(s); b += 4) group(b, std::false_type());
}

template <class Math>
void Convolver::runStages(int channels) {
  for (int s = 0; s < stages_; ++s) {
    const int block = kStage[s].block;
    if ((n_ & static_cast<uint32_t>(2 * block - 1)) != 0) break;  // the larger periods end on these ends
    StageState& st = stage_[s];
    FftPlan& plan = *st.plan;
    const int stride = ImpulseResponse::stride(s);
    // The period ends block m. The older window (blocks m-2, m-1) in lanes 0 and 1, the newer
    // (m-1, m) in lanes 2 and 3, each channel in its own lane.
    V4* time = plan.time();
    const uint32_t first = n_ - 3u * static_cast<uint32_t>(block);
    const float* ring0 = ring_[0].data();
    const float* ring1 = ring_[1].data();
    for (int j = 0; j < 2 * block; j += 4) {
      const uint32_t older = (first + static_cast<uint32_t>(j)) & ringMask_;
      const uint32_t newer = (first + static_cast<uint32_t>(block + j)) & ringMask_;
      V4 v0 = load(ring0 + older), v1 = load(ring1 + older), v2 = load(ring0 + newer),
         v3 = load(ring1 + newer);
      transpose(v0, v1, v2, v3);
      time[j] = v0, time[j + 1] = v1, time[j + 2] = v2, time[j + 3] = v3;
    }
    plan.forward();
    const int older = st.at + 1 < st.depth ? st.at + 1 : 0;
    const int newest = older + 1 < st.depth ? older + 1 : 0;
    st.at = newest;
    // Both channels' spectra are kept, with one channel too (then the lanes are equal): see piece.
    {
      // Packed: the last bin's real value as the first's imaginary part (zero from the transform).
      FftPlan::LaneComplex* spectrum = plan.spectrum();
      spectrum[0].i = spectrum[block].r;
      const size_t o = static_cast<size_t>(older) * stride, w = static_cast<size_t>(newest) * stride;
      for (int b = 0; b < ImpulseResponse::bins(s); b += 4) {
        V4 r0 = spectrum[b].r, r1 = spectrum[b + 1].r, r2 = spectrum[b + 2].r, r3 = spectrum[b + 3].r;
        V4 i0 = spectrum[b].i, i1 = spectrum[b + 1].i, i2 = spectrum[b + 2].i, i3 = spectrum[b + 3].i;
        transpose(r0, r1, r2, r3);
        transpose(i0, i1, i2, i3);
        store(&st.real[0][o + b], r0), store(&st.real[1][o + b], r1);
        store(&st.real[0][w + b], r2), store(&st.real[1][w + b], r3);
        store(&st.imaginary[0][o + b], i0), store(&st.imaginary[1][o + b], i1);
        store(&st.imaginary[0][w + b], i2), store(&st.imaginary[1][w + b], i3);
      }
    }
    // Partition k of the coming block m+1 meets the input spectrum of block m+1-offset-k, that of
    // block m+2 the one after it.
    const int offset = kStage[s].start / block;
    const int partitions = ir_->partitions(s);
    int fromA[kMaxPartitions], fromB[kMaxPartitions];
    for (int k = 0; k < partitions; ++k) {
      int a = newest - (offset - 1) - k;
      int b = a + 1;
      a = a < 0 ? a + st.depth : a;
      b = b < 0 ? b + st.depth : b;
      fromA[k] = a * stride;
      fromB[k] = b * stride;
    }
    if (channels == 2) {
      multiply<Math, 2>(st, s, fromA, fromB);
    } else {
      multiply<Math, 1>(st, s, fromA, fromB);
    }
    // Unpacked: the inverse transform reads neither bin's imaginary part.
    plan.spectrum()[block].r = plan.spectrum()[0].i;
    plan.inverse();
    float* out0 = st.out[0].data();
    float* out1 = st.out[1].data();
    for (int j = 0; j < block; j += 4) {
      V4 v0 = time[block + j], v1 = time[block + j + 1], v2 = time[block + j + 2], v3 = time[block + j + 3];
      transpose(v0, v1, v2, v3);
      store(out0 + j, v0), store(out1 + j, v1), store(out0 + block + j, v2), store(out1 + block + j, v3);
    }
  }
}
