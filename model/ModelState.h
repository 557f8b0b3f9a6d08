// The per-instance state of the model: plain values, copied as a whole when an instance starts
// from the settled idle state.
#pragma once

#include "model/DitherGenerator.h"
#include "model/Lanes.h"
#include "model/PolyphaseKernel.h"
#include "model/PowerBlock.h"
#include "model/PreampBlock.h"
#include "model/ResamplingFilter.h"
#include "model/ToneFilter.h"
#include "model/TransformerFilters.h"

// Everything of a channel that runs at the internal rate. F is float, or Float4 while both
// channels are computed together (the members line up one to one, see CircuitLanes).
template <typename F>
struct CircuitStateT {
  ToneStateT<F> tone;
  PreampStateT<F> preamp;
  PowerStateT<F> power;
  ResamplerStateT<F> downsampler;
  // The newest internal outputs, oldest first, whenever they were made: the output is read from
  // them at each host sample's time (a host sample may take no internal step above 192 kHz).
  F recent[StepKernel::kTaps] = {};
};
using CircuitState = CircuitStateT<float>;

struct ChannelState {
  // Host rate.
  InputTransformerState inputTransformer;
  PeakingState cut;
  PeakingState lift;
  // Internal rate.
  CircuitState circuit;
};

struct ModelState {
  ChannelState channel[2];
  // The newest host values of both channels as they leave the host-rate filters, in pairs
  // (channel 1, channel 2), oldest first: what the internal steps are fed from.
  float hostWindow[2 * HostKernel::kTaps] = {};
  float stepPhase = 0.0f;  // time already consumed inside the current host period
  DitherGenerator dither;
};

// Moves the two channels' circuit states into the lanes of one vector state and back. The state
// structs hold nothing but their number type, so both forms are flat arrays of it in the same
// order.
class CircuitLanes {
 public:
  static void pack(const CircuitState& a, const CircuitState& b, CircuitStateT<Float4>& out) {
    const float* pa = reinterpret_cast<const float*>(&a);
    const float* pb = reinterpret_cast<const float*>(&b);
    Float4* po = reinterpret_cast<Float4*>(&out);
    for (int k = 0; k < kCount; ++k) po[k] = lanes(pa[k], pb[k]);
  }

  static void unpack(const CircuitStateT<Float4>& in, CircuitState& a, CircuitState& b) {
    const Float4* pi = reinterpret_cast<const Float4*>(&in);
    float* pa = reinterpret_cast<float*>(&a);
    float* pb = reinterpret_cast<float*>(&b);
    for (int k = 0; k < kCount; ++k) {
      pa[k] = pi[k][0];
      pb[k] = pi[k][1];
    }
  }

 private:
  static constexpr int kCount = sizeof(CircuitState) / sizeof(float);
  static_assert(sizeof(CircuitState) == kCount * sizeof(float), "a circuit state is made of floats only");
  static_assert(sizeof(CircuitStateT<Float4>) == kCount * sizeof(Float4), "the lane form lines up");
};
