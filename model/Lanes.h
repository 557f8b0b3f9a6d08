// A four-lane float vector (GCC vector extension, SSE on x86-64) in which both channels are
// computed at once: lanes 0 and 2 carry channel 1, lanes 1 and 3 channel 2. Every lane goes
// through exactly the operations of the scalar code, in the same order, so a channel's values
// are bit-identical whichever path computed them. The helpers below exist in a float and a
// vector form, so the circuit code is written once as a template over the number type.
#pragma once

#include <cstdint>

typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

inline Float4 lanes(float channel1, float channel2) {
  return Float4{channel1, channel2, channel1, channel2};
}

// v clamped below at lo; NaN becomes lo.
inline float atLeast(float v, float lo) {
  return v > lo ? v : lo;
}
inline Float4 atLeast(Float4 v, float lo) {
  const Float4 l = Float4{lo, lo, lo, lo};
  return v > l ? v : l;
}

// v clamped above at hi.
inline float atMost(float v, float hi) {
  return v < hi ? v : hi;
}
inline Float4 atMost(Float4 v, float hi) {
  const Float4 h = Float4{hi, hi, hi, hi};
  return v < h ? v : h;
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
