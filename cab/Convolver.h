// The streaming convolution of both channels with one prepared impulse response, without added
// latency: each output sample is the direct sum over the head taps plus what the FFT stages
// computed for its block beforehand (see PartitionLayout.h). Samples come a run at a time, cut
// at the first stage's blocks: the head's sums go over a run several outputs to a vector, and the
// FFT work falls where the first stage's period ends (every 128 samples), as the larger stages'
// periods end there too.
//
// Threads. Construction and prepare run off the audio thread (prepare allocates); reset and
// process run on the audio thread and allocate nothing, free nothing and lock nothing. The
// convolver owns its FFT plans, whose work buffers must not be shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cab/FftPlan.h"
#include "cab/ImpulseResponse.h"
#include "cab/PartitionLayout.h"

class Convolver {
 public:
  Convolver();
  Convolver(const Convolver&) = delete;
  Convolver& operator=(const Convolver&) = delete;

  // Any thread but the audio thread. Sizes every buffer for ir and clears the history. False,
  // with the convolver unusable, when memory runs out.
  bool prepare(std::shared_ptr<const ImpulseResponse> ir);
  const ImpulseResponse* response() const { return ir_.get(); }

  // Any thread but the audio thread, before prepare: the sums use fused multiply-adds, and the
  // transforms the FFT library's build for AVX, where the processor has them (a new convolver
  // does). Asked for them without them, or asked for the plain products, it answers whether it
  // now uses what was asked. Both agree with the exact sum to float precision, not bit for bit.
  bool useFusedMultiplyAdd(bool on);

  // Audio thread: forgets the history (the next output is as if the input had been silent).
  void reset();

  // Audio thread: n samples of each channel in, the convolved samples out, in place. channels
  // 1: only l is computed, and r is neither read nor written (it may be null). An unprepared
  // convolver leaves the samples as they are.
  void process(float* l, float* r, int n, int channels);

 private:
  template <class Math>
  void run(float* l, float* r, int n, int channels);
  void runPlain(float* l, float* r, int n, int channels);
  void runFused(float* l, float* r, int n, int channels);
  // One run within a block of the first stage: the head's sums, the stages' outputs added, and
  // at the end of a period the stages' work.
  template <class Math, int kChannels>
  void piece(float* l, float* r, int n);
  // The run's outputs: the head's sums over its first count taps, from the stages' outputs for
  // the run (from, one per channel), into l and r.
  template <class Math, int kChannels>
  void head(int n, int count, const float* const* from, float* l, float* r);
  template <class Math, int kChannels>
  void headSums(int count, int at, const float* z0, const float* z1, float* y0, float* y1, int n);
  // At the end of a period of the first stage: every stage whose period ends here transforms
  // its last two blocks of input and computes its output for the coming two blocks.
  template <class Math>
  void runStages(int channels);

  struct StageState {
    int depth = 0;  // input spectra kept: the partitions and the stage's offset in blocks
    int at = 0;     // the newest spectrum
    std::vector<float> real[2];
    std::vector<float> imaginary[2];
    std::vector<float> out[2];  // the stage's output for the current two blocks
    std::unique_ptr<FftPlan> plan;
  };

  // Each channel's sums over the stage's partitions of their products with the input spectra,
  // for the coming two blocks (fromA, fromB: where each partition's input spectrum starts), put
  // into the plan's spectrum: the first block's channels in lanes 0 and 1, the second's in 2, 3.
  template <class Math, int kChannels>
  void multiply(StageState& st, int s, const int* fromA, const int* fromB);

  std::shared_ptr<const ImpulseResponse> ir_;
  bool fused_ = false;
  int stages_ = 0;  // stages with partitions, always the first ones
  uint32_t n_ = 0;  // samples since the reset; the periods divide 2^32, so wrapping is harmless
  uint32_t ringMask_ = 0;
  // The head's input: its history, then the run, then room for the reads past it (see
  // Convolver.cpp). The history starts at linePosition_.
  std::vector<float> line_[2];
  std::vector<float> pairs_[2];  // the line's pairs' sums, pair q (line positions 2q, 2q + 1) at q
  int linePosition_ = 0;
  std::vector<float> sum_[2];   // the run's outputs as they are summed
  std::vector<float> ring_[2];  // the stages' input history
  StageState stage_[PartitionLayout::kStages];
};
