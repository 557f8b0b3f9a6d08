// The 8th-order recursive low-pass of the rate conversion, run at the internal rate of 192 kHz
// as both the anti-imaging filter behind the host-rate interpolation and the anti-aliasing
// filter in front of the host-rate pick: pass band within -0.21..+0.01 dB up to 24 kHz, about -3 dB at
// 24.5 kHz, at least 57 dB down from 30 kHz and 80 dB from 35 kHz.
#pragma once

#include <type_traits>
#include <utility>

#include "model/Lanes.h"

template <typename F>
struct ResamplerStateT {
  F x[8] = {};  // x[n-1] .. x[n-8]
  F y[8] = {};  // y[n-1] .. y[n-8]
};
using ResamplerState = ResamplerStateT<float>;

class ResamplingFilter {
 public:
  // Audio thread. y[n] = sum b_k x[n-k] + sum a_k y[n-k] (the a_k are added as listed, i.e. the
  // denominator is 1 - sum a_k z^-k), accumulated in that order.
  template <typename F>
  static F process(ResamplerStateT<F>& s, F x) {
    const F y = output(
        x, [&s](int k) { return s.x[k]; }, [&s](int k) { return s.y[k]; });
    for (int k = 7; k > 0; --k) {
      s.x[k] = s.x[k - 1];
      s.y[k] = s.y[k - 1];
    }
    s.x[0] = x;
    s.y[0] = y;
    return y;
  }

  // Audio thread: n steps (1 to kMaxRun) at once, the inputs x[0..n-1] in order, the outputs
  // into y[0..n-1]: the values of n calls of process. The state is moved on once per run, not
  // at every step.
  static constexpr int kMaxRun = 8;
  template <typename F>
  static void run(ResamplerStateT<F>& s, const F* x, F* y, int n) {
    runOfLength(s, x, y, n, std::make_integer_sequence<int, kMaxRun>{});
  }

 private:
  // The run of length n: n compared with each length, which the compiler makes one jump.
  template <typename F, int... I>
  static void runOfLength(ResamplerStateT<F>& s, const F* x, F* y, int n, std::integer_sequence<int, I...>) {
    (void)((n == I + 1 && (runOf<I + 1>(s, x, y), true)) || ...);
  }

  // y[n] from x[n] and the past values x[n-1-k] = pastX(k), y[n-1-k] = pastY(k).
  template <typename F, typename PastX, typename PastY>
  static F output(F x, const PastX& pastX, const PastY& pastY) {
    F y = kB[0] * x;
    for (int k = 0; k < 8; ++k) y = y + kB[k + 1] * pastX(k);
    for (int k = 0; k < 8; ++k) y = y + kA[k] * pastY(k);
    return y;
  }

  // The value at index i of a run: i >= 0 the run's own (inputs or outputs, index 0 its first
  // step), i < 0 the state's (newest first, so index -1 is its element 0). The past is read
  // where the state keeps it rather than copied into a history first.
  template <typename F>
  static F at(const F* run, const F* state, int i) {
    return i >= 0 ? run[i] : state[-1 - i];
  }

  // For each length the steps are written out, so every index above is a constant.
  template <int N, typename F>
  static void runOf(ResamplerStateT<F>& s, const F* x, F* y) {
    // All inputs are read before any output is written: x and y may be the same array.
    F in[N];
    F out[N];
#pragma GCC unroll 8
    for (int j = 0; j < N; ++j) in[j] = x[j];
    if constexpr (std::is_same_v<F, Float4>) {
      runPairs<N>(s, in, out);
    } else {
#pragma GCC unroll 8
      for (int j = 0; j < N; ++j) {
        out[j] = output(
            in[j], [&](int k) { return at(in, s.x, j - 1 - k); },
            [&](int k) { return at(out, s.y, j - 1 - k); });
      }
    }
    // The state moves on by N: its older values first (from the top down, so none is
    // overwritten before it is moved), then the run's newest.
#pragma GCC unroll 8
    for (int k = 7; k >= N; --k) {
      s.x[k] = s.x[k - N];
      s.y[k] = s.y[k - N];
    }
#pragma GCC unroll 8
    for (int k = 0; k < N && k < 8; ++k) {
      s.x[k] = in[N - 1 - k];
      s.y[k] = out[N - 1 - k];
    }
#pragma GCC unroll 8
    for (int j = 0; j < N; ++j) y[j] = out[j];
  }

  // Both channels (lanes 0 and 1 of each two-channel value, see Lanes.h) for two steps at once
  // where the sums allow it: the input part of steps j and j + 1 (their x terms, which need no
  // output of either) in one vector, step j in lanes 0 and 1, step j + 1 in lanes 2 and 3; each
  // step's output terms are then added in its own lanes. Every lane adds the terms of the
  // one-step form in its order, half the input terms' operations are saved.
  template <int N>
  static void runPairs(const ResamplerStateT<Float4>& s, const Float4* in, Float4* out) {
    const auto steps = [&](int i) {
      return __builtin_shufflevector(at(in, s.x, i), at(in, s.x, i + 1), 0, 1, 4, 5);
    };
#pragma GCC unroll 8
    for (int j = 0; j + 1 < N; j += 2) {
      Float4 sum = kB[0] * steps(j);
#pragma GCC unroll 8
      for (int k = 0; k < 8; ++k) sum = sum + kB[k + 1] * steps(j - 1 - k);
      Float4 first = sum;
#pragma GCC unroll 8
      for (int k = 0; k < 8; ++k) first = first + kA[k] * at(out, s.y, j - 1 - k);
      out[j] = rowA(first);
      Float4 second = sum;
#pragma GCC unroll 8
      for (int k = 0; k < 8; ++k) second = second + kA[k] * at(out, s.y, j - k);
      out[j + 1] = rowB(second);
    }
    if constexpr (N % 2 != 0) {
      constexpr int j = N - 1;
      out[j] = output(
          in[j], [&](int k) { return at(in, s.x, j - 1 - k); },
          [&](int k) { return at(out, s.y, j - 1 - k); });
    }
  }

  static constexpr float kB[9] = {0.0009299486f,  -0.0005963771f, 0.002155852f,
                                  -0.0003243943f, 0.002212866f,   -0.0003243943f,
                                  0.002155852f,   -0.0005963771f, 0.0009299486f};
  static constexpr float kA[8] = {5.656637f,  -15.062768f, 24.344265f, -25.960777f,
                                  18.640486f, -8.786409f,  2.4853153f, -0.32344225f};
};
