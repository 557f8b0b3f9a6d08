// The ten banks of valve characteristic tables and their bilinear read. Each bank holds ten
// curves of currents over a normalised sample axis (44100 samples plus a guard copy); the
// circuit blocks read them with two of an element's voltages instead of evaluating a valve law.
#pragma once

#include <cstddef>

#include "model/Lanes.h"

// One table axis: the voltage at its bottom and the reciprocal of its range, so a read needs
// no division.
struct TableAxis {
  float offset;
  float invRange;
};

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
  static constexpr int kSamples = 44101;     // 44100 samples and the guard copy
  static constexpr int kLastSample = 44099;  // the number of sample intervals
  static constexpr int kPowers = 21;

  // Any thread. The tables of this process, built by the first caller; thread-safe, read-only
  // afterwards and shared by every instance.
  static const ValveTables& shared();

  // Audio thread (and tests): where voltages vx (sample axis) and vc (curve axis) fall. A voltage
  // outside its axis reads the edge; NaN reads the bottom edge.
  template <typename F>
  static auto locate(F vx, TableAxis x, F vc, TableAxis c) {
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
    const float* t0 = curve(bank, p.c0);
    const float* t1 = curve(bank, p.c1);
    return interpolate(t0[p.i0], t0[p.i1], t1[p.i0], t1[p.i1], p.fs, p.fc);
  }

  // The same for both channels at once (lanes 0 and 1 are read; 2 and 3 repeat them).
  Float4 read(int bank, const TablePosition4& p) const {
    const float* a0 = curve(bank, p.c0[0]);
    const float* a1 = curve(bank, p.c1[0]);
    const float* b0 = curve(bank, p.c0[1]);
    const float* b1 = curve(bank, p.c1[1]);
    return interpolate(lanes(a0[p.i0[0]], b0[p.i0[1]]), lanes(a0[p.i1[0]], b0[p.i1[1]]),
                       lanes(a1[p.i0[0]], b1[p.i0[1]]), lanes(a1[p.i1[0]], b1[p.i1[1]]), p.fs, p.fc);
  }

  template <typename F>
  static F interpolate(F t00, F t01, F t10, F t11, F fs, F fc) {
    const F r0 = t00 + (t01 - t00) * fs;
    const F r1 = t10 + (t11 - t10) * fs;
    return r0 + (r1 - r0) * fc;
  }

  const float* curve(int bank, int curveIndex) const {
    return data_ + (static_cast<std::size_t>(bank) * kCurves + curveIndex) * kSamples;
  }

  ValveTables(const ValveTables&) = delete;
  ValveTables& operator=(const ValveTables&) = delete;

 private:
  ValveTables();
  ~ValveTables();
  void build();

  float* data_;
};
