// A four-lane float vector (GCC vector extension, SSE on x86-64) in which both channels are
// computed at once: lanes 0 and 2 carry channel 1, lanes 1 and 3 channel 2. Every lane goes
// through exactly the operations of the scalar code, in the same order, so a channel's values
// are bit-identical whichever path computed them. The helpers below exist in a float and a
// vector form, so the circuit code is written once as a template over the number type.
#pragma once

#include <cstdint>

#include <xmmintrin.h>

typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

inline Float4 lanes(float channel1, float channel2) {
  return Float4{channel1, channel2, channel1, channel2};
}

// Two quantities of the same kind in one vector, both channels each: lanes 0 and 1 carry the
// first, lanes 2 and 3 the second (two matrix rows, two elements' voltages). A per-quantity
// constant is spread over its two lanes.
constexpr Float4 perQuantity(float first, float second) {
  return Float4{first, first, second, second};
}

// v clamped below at lo (NaN becomes lo), and above at hi. maxss/maxps and minss/minps answer
// their second operand for NaN and for equal values, just as the conditions v > lo ? v : lo and
// v < hi ? v : hi do, and they do not branch on the signal.
inline float atLeast(float v, float lo) {
  return _mm_cvtss_f32(_mm_max_ss(_mm_set_ss(v), _mm_set_ss(lo)));
}
inline float atMost(float v, float hi) {
  return _mm_cvtss_f32(_mm_min_ss(_mm_set_ss(v), _mm_set_ss(hi)));
}
inline Float4 atLeast(Float4 v, Float4 lo) {
  return reinterpret_cast<Float4>(_mm_max_ps(reinterpret_cast<__m128>(v), reinterpret_cast<__m128>(lo)));
}
inline Float4 atMost(Float4 v, Float4 hi) {
  return reinterpret_cast<Float4>(_mm_min_ps(reinterpret_cast<__m128>(v), reinterpret_cast<__m128>(hi)));
}
inline Float4 atLeast(Float4 v, float lo) {
  return atLeast(v, Float4{lo, lo, lo, lo});
}
inline Float4 atMost(Float4 v, float hi) {
  return atMost(v, Float4{hi, hi, hi, hi});
}

// Truncation toward zero, as a float-to-integer conversion does.
inline int truncate(float v) {
  return static_cast<int>(v);
}
inline Int4 truncate(Float4 v) {
  return __builtin_convertvector(v, Int4);
}
inline float toFloat(int v) {
  return static_cast<float>(v);
}
inline Float4 toFloat(Int4 v) {
  return __builtin_convertvector(v, Float4);
}

// i + 1, but at most top.
inline int nextBelow(int i, int top) {
  return i + 1 < top ? i + 1 : top;
}
inline Int4 nextBelow(Int4 i, int top) {
  const Int4 t = Int4{top, top, top, top};
  const Int4 n = i + 1;
  return n < t ? n : t;
}

// Chooses per lane: yes where the condition holds.
inline float choose(bool condition, float yes, float no) {
  return condition ? yes : no;
}
inline Float4 choose(bool condition, Float4 yes, Float4 no) {
  return condition ? yes : no;
}

// Two matrix rows for both channels at once: lanes 0 and 1 carry row a, lanes 2 and 3 row b.
// The columns are the usual two-channel values {c1, c2, c1, c2}. Each lane accumulates its row
// over the columns in their order, so it rounds exactly as the row written out in float; a
// column zero in both rows is left out, one zero in a single row adds a harmless 0 * x there.
//
// The columns are anything indexed by column number: an array, or a view that reads them where
// they are kept (so they need not be copied for each set of rows).
template <int N, typename Columns>
inline Float4 rowPair(const float (&a)[N], const float (&b)[N], const Columns& column) {
  Float4 acc = Float4{0.0f, 0.0f, 0.0f, 0.0f};
  bool first = true;
#pragma GCC unroll 32
  for (int k = 0; k < N; ++k) {
    if (a[k] != 0.0f || b[k] != 0.0f) {
      const Float4 term = Float4{a[k], a[k], b[k], b[k]} * column[k];
      acc = first ? term : acc + term;
      first = false;
    }
  }
  return acc;
}

// One matrix row for one value (float, or a two-channel Float4): accumulated over the columns
// in their order with the zero entries left out, as each lane of rowPair accumulates it.
template <int N, typename Columns>
inline auto row(const float (&a)[N], const Columns& column) {
  decltype(column[0]) acc{};
  bool first = true;
#pragma GCC unroll 32
  for (int k = 0; k < N; ++k) {
    if (a[k] != 0.0f) {
      const auto term = a[k] * column[k];
      acc = first ? term : acc + term;
      first = false;
    }
  }
  return acc;
}

// Row a (lanes 0, 1) and row b (lanes 2, 3) of a row pair, each as a two-channel value.
inline Float4 rowA(Float4 pair) {
  return __builtin_shuffle(pair, Int4{0, 1, 0, 1});
}
inline Float4 rowB(Float4 pair) {
  return __builtin_shuffle(pair, Int4{2, 3, 2, 3});
}
// Both rows of a pair stored, row a first.
inline void store(Float4 pair, Float4& a, Float4& b) {
  a = rowA(pair);
  b = rowB(pair);
}

// Both rows of a pair stored where only lanes 0 and 1 are ever read (values kept for
// inspection, which the unpacking of the lane form takes from there): no shuffle, lanes 2 and 3
// of a's slot hold row b, and those of b's slot are left as they were.
inline void storeForInspection(Float4 pair, Float4& a, Float4& b) {
  a = pair;
  _mm_storeh_pi(reinterpret_cast<__m64*>(&b), reinterpret_cast<__m128>(pair));
}

// A block's state update: rows A0..B2 of matrix m taken two at a time and row L alone, into the
// state values a0..l. Every row is summed before any value is stored, since the columns may read
// the very values being replaced.
template <int A0, int B0, int A1, int B1, int A2, int B2, int L, int R, int N, typename Columns>
inline void updateState(const float (&m)[R][N], const Columns& c, Float4& a0, Float4& b0, Float4& a1,
                        Float4& b1, Float4& a2, Float4& b2, Float4& l) {
  const Float4 n0 = rowPair(m[A0], m[B0], c);
  const Float4 n1 = rowPair(m[A1], m[B1], c);
  const Float4 n2 = rowPair(m[A2], m[B2], c);
  const Float4 nl = row(m[L], c);
  store(n0, a0, b0);
  store(n1, a1, b1);
  store(n2, a2, b2);
  l = nl;
}
