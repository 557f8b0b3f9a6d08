// The ten banks of valve characteristic tables and their bilinear read. Each bank holds ten
// curves of currents over a normalised sample axis (44100 samples plus a guard copy), and a
// guard copy of its last curve; the circuit blocks read them with two of an element's voltages
// instead of evaluating a valve law.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/Lanes.h"

// One table axis: the voltage at its bottom and the reciprocal of its range, so a read needs
// no division.
struct TableAxis {
  float offset;
  float invRange;
};

// The axis spanning a voltage range (anything with a low and a high end).
template <typename Range>
constexpr TableAxis spanning(const Range& r) {
  return TableAxis{r.low, 1.0f / (r.high - r.low)};
}

// Two elements' axes in one, for a located vector that carries two elements (see
// perQuantity): lanes 0 and 1 on the first axis, lanes 2 and 3 on the second.
struct TableAxes {
  Float4 offset;
  Float4 invRange;
};
constexpr TableAxes axes(TableAxis first, TableAxis second) {
  return TableAxes{perQuantity(first.offset, second.offset), perQuantity(first.invRange, second.invRange)};
}

// Position of one read on both axes, computed once and used for one or two banks. F is float or
// Float4 (both channels at once), I the matching integer type.
template <typename F, typename I>
struct TablePositionT {
  I c0, c1;  // curve indices
  I i0, i1;  // sample indices
  F fc;      // fraction between the curves
  F fs;      // fraction between the samples
};
using TablePosition = TablePositionT<float, int>;
using TablePosition4 = TablePositionT<Float4, Int4>;

class ValveTables {
 public:
  static constexpr int kBanks = 10;
  static constexpr int kCurves = 10;
  static constexpr int kStoredCurves = 11;   // the ten curves and the guard copy of the last
  static constexpr int kSamples = 44101;     // 44100 samples and the guard copy
  static constexpr int kLastSample = 44099;  // the number of sample intervals
  static constexpr int kPowers = 21;
  static constexpr int kPairedBanks = 8;  // banks 0..7 are read in pairs
  // Samples from one curve's first to the next's: a power of two, so a read finds its curve by a
  // shift rather than a multiplication on the step's critical path. The gap after each curve is
  // never written or read, so it costs address space, not memory.
  static constexpr int kCurveStride = 1 << 16;

  // Any thread. The tables of this process, built by the first caller; thread-safe, read-only
  // afterwards and shared by every instance.
  static const ValveTables& shared();

  // Audio thread (and tests): where voltages vx (sample axis) and vc (curve axis) fall. A voltage
  // outside its axis reads the edge; NaN reads the bottom edge.
  // The axes are TableAxis, or TableAxes for a vector of two elements.
  template <typename F, typename Axis>
  static auto locate(F vx, Axis x, F vc, Axis c) {
    using I = decltype(truncate(vx));
    TablePositionT<F, I> p;
    const F a = atMost(atLeast((vc - c.offset) * c.invRange, 0.0f), 1.0f);
    const F a9 = a * 9.0f;
    p.c0 = truncate(a9);
    p.fc = a9 - toFloat(p.c0);
    p.c1 = nextBelow(p.c0, 9);
    const F s = atMost(atLeast((vx - x.offset) * x.invRange, 0.0f), 1.0f);
    const F s2 = s * static_cast<float>(kLastSample);
    p.i0 = truncate(s2);
    p.fs = s2 - toFloat(p.i0);
    p.i1 = nextBelow(p.i0, kLastSample);
    return p;
  }

  // Audio thread: the bilinearly interpolated value of bank at a located position.
  float read(int bank, const TablePosition& p) const {
    const int k = stride(bank);
    const float* t0 = curve(bank, p.c0);
    const float* t1 = curve(bank, p.c1);
    return interpolate(t0[p.i0 * k], t0[p.i1 * k], t1[p.i0 * k], t1[p.i1 * k], p.fs, p.fc);
  }

  template <typename F>
  static F interpolate(F t00, F t01, F t10, F t11, F fs, F fc) {
    const F r0 = t00 + (t01 - t00) * fs;
    const F r1 = t10 + (t11 - t10) * fs;
    return r0 + (r1 - r0) * fc;
  }

  // Audio thread: two banks read alone (8 and 9) for both channels at once, firstBank at the
  // position in lanes 0 (channel 1) and 1 (channel 2), secondBank at that in lanes 2 and 3; the
  // results in the usual two-channel lanes.
  void readSingles(int firstBank, int secondBank, const TablePosition4& p, Float4& first,
                   Float4& second) const {
    // Where sample i0 of curves c0 and c1 lies, from the bank's first curve: computed in the
    // vector for all lanes at once.
    const float* a = curve(firstBank, 0);
    const float* b = curve(secondBank, 0);
    const UInt4 o0 = offsets(p.c0, p.i0);
    // Samples i0 and i0 + 1 of a curve, per lane: {channel 1's two, channel 2's two}. Curve c0 + 1
    // lies one curve further (see curve).
    const Float4 a0 = neighbours(a + o0[0], a + o0[1]);
    const Float4 b0 = neighbours(b + o0[2], b + o0[3]);
    const Float4 a1 = neighbours(a + o0[0] + kCurveStride, a + o0[1] + kCurveStride);
    const Float4 b1 = neighbours(b + o0[2] + kCurveStride, b + o0[3] + kCurveStride);
    const Float4 v = interpolate(
        __builtin_shufflevector(a0, b0, 0, 2, 4, 6), __builtin_shufflevector(a0, b0, 1, 3, 5, 7),
        __builtin_shufflevector(a1, b1, 0, 2, 4, 6), __builtin_shufflevector(a1, b1, 1, 3, 5, 7), p.fs, p.fc);
    first = __builtin_shufflevector(v, v, 0, 1, 0, 1);
    second = __builtin_shufflevector(v, v, 2, 3, 2, 3);
  }

  // Audio thread: a bank pair (0/1, 2/3, 4/5, 6/7; firstBank even) for both channels at once,
  // at the position in lanes kLane (channel 1) and kLane + 1 (channel 2); the results in the
  // usual two-channel lanes.
  template <int kLane = 0>
  void readPair(int firstBank, const TablePosition4& p, Float4& first, Float4& second) const {
    constexpr int a = kLane, b = kLane + 1;
    const float* base = curve(firstBank, 0);
    // Two values per sample: both indices doubled before their sum, each on its own path.
    const UInt4 o0 = reinterpret_cast<UInt4>(p.c0 * (kCurveStride * 2) + p.i0 * 2);
    const float* at0 = base + o0[a];
    const float* at1 = base + o0[b];
    // Curve c0 + 1 lies one curve further (see curve).
    constexpr int next = kCurveStride * 2;
    Float4 x0, x1, y0, y1;  // {first, second} at i0 and at i0 + 1, per curve and channel
    __builtin_memcpy(&x0, at0, sizeof(Float4));
    __builtin_memcpy(&x1, at0 + next, sizeof(Float4));
    __builtin_memcpy(&y0, at1, sizeof(Float4));
    __builtin_memcpy(&y1, at1 + next, sizeof(Float4));
    // Each lane interpolates one bank for one channel: {first, second} of channel 1, then of 2.
    const Float4 v = interpolate(
        __builtin_shufflevector(x0, y0, 0, 1, 4, 5), __builtin_shufflevector(x0, y0, 2, 3, 6, 7),
        __builtin_shufflevector(x1, y1, 0, 1, 4, 5), __builtin_shufflevector(x1, y1, 2, 3, 6, 7),
        __builtin_shufflevector(p.fs, p.fs, a, a, b, b), __builtin_shufflevector(p.fc, p.fc, a, a, b, b));
    first = __builtin_shufflevector(v, v, 0, 2, 0, 2);
    second = __builtin_shufflevector(v, v, 1, 3, 1, 3);
  }

  // Sample i of a curve is curve(bank, c)[i * stride(bank)]. The banks of a pair are read at the
  // same position, so their samples are interleaved, and a read takes each curve's two
  // neighbouring samples of both banks in one load. (Reading sample i0 + 1 where the read's
  // second sample is i0 itself, at the top of the axis, is what the guard copy is for: the
  // weight there is 0 and the values are equal.) The guard curve does the same on the curve axis:
  // the vector reads take curve c0 + 1 as their second curve, one fixed distance from the first,
  // and where that is curve 10 (c0 is 9) its weight is 0 and its values are curve 9's.
  const float* curve(int bank, int curveIndex) const {
    if (bank < kPairedBanks) {
      return data_ + (static_cast<std::size_t>(bank / 2) * kStoredCurves + curveIndex) * kCurveStride * 2 +
             (bank & 1);
    }
    return data_ + static_cast<std::size_t>(kPairedBanks) * kStoredCurves * kCurveStride +
           (static_cast<std::size_t>(bank - kPairedBanks) * kStoredCurves + curveIndex) * kCurveStride;
  }
  static int stride(int bank) { return bank < kPairedBanks ? 2 : 1; }
  float at(int bank, int curveIndex, int sample) const {
    return curve(bank, curveIndex)[sample * stride(bank)];
  }

  // Any thread. A digest of every table value (the guard copies aside). The values depend on the
  // maths library's powf, whose last-place rounding differs between platforms, so the digest
  // tells which tables, and so which platform's settled circuit states, these are.
  std::uint64_t fingerprint() const { return fingerprint_; }

  ValveTables(const ValveTables&) = delete;
  ValveTables& operator=(const ValveTables&) = delete;

 private:
  // Sample i of curve c counted from the first sample of its bank's first curve, as unsigned
  // numbers: never negative, and so taken into an address without a sign extension.
  typedef uint32_t UInt4 __attribute__((vector_size(16)));
  static UInt4 offsets(Int4 c, Int4 i) { return reinterpret_cast<UInt4>(c * kCurveStride + i); }

  // {sample, next sample} of one curve for channel 1, then for channel 2.
  static Float4 neighbours(const float* channel1, const float* channel2) {
    typedef float Float2 __attribute__((vector_size(8)));
    Float2 lo, hi;
    __builtin_memcpy(&lo, channel1, sizeof(lo));
    __builtin_memcpy(&hi, channel2, sizeof(hi));
    return __builtin_shufflevector(lo, hi, 0, 1, 2, 3);
  }

  ValveTables();
  ~ValveTables();
  void build();

  float* data_;
  std::uint64_t fingerprint_ = 0;
};
