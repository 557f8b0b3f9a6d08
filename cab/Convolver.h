// The streaming convolution of both channels with one prepared impulse response, without added
// latency: each output sample is the direct sum over the head taps plus what the FFT stages
// computed for the current block at its start (see PartitionLayout.h). The FFT work falls on the
// samples that end a stage's block, once every 64, 1024 or 8192 samples; both channels share each
// transform (one lane each), and each partition's response is loaded once for both.
//
// Threads. prepare runs off the audio thread (it allocates); reset and process run on the audio
// thread and allocate nothing, free nothing and lock nothing. The convolver owns its FFT plans,
// whose work buffers must not be shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cab/FftPlan.h"
#include "cab/ImpulseResponse.h"
#include "cab/PartitionLayout.h"

class Convolver {
 public:
  Convolver() = default;
  Convolver(const Convolver&) = delete;
  Convolver& operator=(const Convolver&) = delete;

  // Any thread but the audio thread. Sizes every buffer for ir and clears the history. False,
  // with the convolver unusable, when memory runs out.
  bool prepare(std::shared_ptr<const ImpulseResponse> ir);
  const ImpulseResponse* response() const { return ir_.get(); }

  // Audio thread: forgets the history (the next output is as if the input had been silent).
  void reset();

  // Audio thread: one sample of each channel in, the convolved samples out, in place. kStereo
  // false: only the first channel is computed (r is left alone).
  template <bool kStereo>
  void process(float& l, float& r) {
    beginSample<kStereo>();
    finishSample<kStereo>(l, r);
  }

  // The same in two halves, for a caller that can start before it has the sample: beginSample
  // sums everything of the next output that the sample itself does not weigh in (the head over
  // the inputs before it, the FFT stages' output), and finishSample adds the sample's own term.
  // The caller's own work then hides the head's latency, and only one product and one sum wait
  // for the sample.
  template <bool kStereo>
  void beginSample() {
    const int p = position_;
    float y0 = headSum(ir_->head(), &line_[0][p]);
    float y1 = kStereo ? headSum(ir_->head(), &line_[1][p]) : 0.0f;
    for (int s = 0; s < stages_; ++s) {
      const uint32_t at = n_ & (PartitionLayout::kStage[s].block - 1);
      y0 = y0 + stage_[s].out[0][at];
      if constexpr (kStereo) y1 = y1 + stage_[s].out[1][at];
    }
    pending_[0] = y0;
    pending_[1] = y1;
  }

  template <bool kStereo>
  void finishSample(float& l, float& r) {
    using PartitionLayout::kHeadTaps;
    const int p = position_;
    const float first = ir_->first();
    const float y0 = pending_[0] + first * l;
    line_[0][p] = l;
    line_[0][p + kHeadTaps] = l;
    ring_[0][n_ & ringMask_] = l;
    // With one channel, the second channel's history follows the first's, as the circuit's second
    // lane does: when the host connects the second input again, that channel goes on from the
    // sound both outputs were playing, not from the last sound it heard before it stopped.
    const float second = kStereo ? r : l;
    float y1 = 0.0f;
    if constexpr (kStereo) y1 = pending_[1] + first * r;
    line_[1][p] = second;
    line_[1][p + kHeadTaps] = second;
    ring_[1][n_ & ringMask_] = second;
    ++n_;
    position_ = (p + 1) & (kHeadTaps - 1);
    if (stages_ > 0 && (n_ & (PartitionLayout::kStage[0].block - 1)) == 0) runStages(kStereo ? 2 : 1);
    l = y0;
    if constexpr (kStereo) r = y1;
  }

 private:
  typedef float Lanes4 __attribute__((vector_size(16)));
  static Lanes4 load(const float* p) {
    Lanes4 v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
  static void store(float* p, Lanes4 v) { __builtin_memcpy(p, &v, sizeof v); }
  // Σ taps[k]·window[k] over the head, in four running sums of four lanes each, always added in
  // the same order.
  static float headSum(const float* taps, const float* window) {
    Lanes4 a0 = {}, a1 = {}, a2 = {}, a3 = {};
    for (int k = 0; k < PartitionLayout::kHeadTaps; k += 16) {
      a0 = a0 + load(taps + k) * load(window + k);
      a1 = a1 + load(taps + k + 4) * load(window + k + 4);
      a2 = a2 + load(taps + k + 8) * load(window + k + 8);
      a3 = a3 + load(taps + k + 12) * load(window + k + 12);
    }
    const Lanes4 a = (a0 + a1) + (a2 + a3);
    return (a[0] + a[1]) + (a[2] + a[3]);
  }

  // Audio thread, at the end of a block of the first stage: every stage whose block ends here
  // transforms its last two blocks of input and computes its output for the coming block.
  __attribute__((noinline)) void runStages(int channels);

  struct StageState {
    int depth = 0;  // input spectra kept: the partitions and the stage's offset in blocks
    int at = 0;     // the newest spectrum
    std::vector<float> real[2];
    std::vector<float> imaginary[2];
    std::vector<float> out[2];  // the stage's output for the current block
    std::unique_ptr<FftPlan> plan;
  };

  // Audio thread: each channel's sum over the stage's partitions of their products with the
  // input spectra (from: where each partition's input spectrum starts), into sumReal_ and
  // sumImaginary_.
  template <int kChannels>
  void multiply(const StageState& st, int s, int partitions, const int* from, int stride);

  std::shared_ptr<const ImpulseResponse> ir_;
  int stages_ = 0;  // stages with partitions, always the first ones
  uint32_t n_ = 0;  // samples since the reset; the blocks divide 2^32, so wrapping is harmless
  int position_ = 0;
  float pending_[2] = {};  // beginSample's sums
  uint32_t ringMask_ = 0;
  std::vector<float> line_[2];  // the head's history, twice over, so it reads as one run
  std::vector<float> ring_[2];  // the stages' input history
  StageState stage_[PartitionLayout::kStages];
  std::vector<float> sumReal_[2];  // each channel's sum of the partitions' products
  std::vector<float> sumImaginary_[2];
};
