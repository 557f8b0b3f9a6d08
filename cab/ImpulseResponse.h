// An impulse response prepared for the convolver: the direct head (each tap repeated in the four
// lanes of a vector, so the convolver's sums read it as it is) and the spectra of the FFT
// partitions, the inverse transform's scale folded in. Immutable once made; shared between the
// convolvers that play it (the built-in cabinets are made once per rate and process).
#pragma once

#include <memory>
#include <vector>

#include "cab/AlignedVector.h"
#include "cab/PartitionLayout.h"

class ImpulseResponse {
 public:
  // Any thread but the audio thread (it allocates and transforms). taps: length samples at the
  // rate the convolver runs at; longer responses are cut at kMaxTaps. Null when length < 1 or
  // memory runs out.
  static std::shared_ptr<const ImpulseResponse> prepare(const float* taps, int length);

  int length() const { return length_; }
  // The head's taps 0..kHeadTaps-1, tap k in the four values from 4k (zeros past the response's
  // end): tap k weighs the input k samples back.
  const float* head() const { return head_.data(); }
  // For the head's sums over sample pairs (see Convolver.cpp), over its first count taps
  // (kEarlyTap or kHeadTaps): the even taps (which 0), the odd taps (1) and the sums of each pair
  // (2), count / 2 taps each, as eight-tap windows for sums that broadcast each input to eight
  // outputs: window d (from -7 to count / 2 - 1) holds taps d..d+7, zeros outside, in the eight
  // values from d + 7 (the taps in a row, seven zeros on either side).
  const float* pairWindows(int count, int which) const {
    return pairWindows_[count == PartitionLayout::kHeadTaps][which].data();
  }
  // The odd taps against the count inputs before a block, oldest first: tap 2k + 1 at
  // count - 1 - 2k, zeros between.
  const float* oddTapsBack(int count) const {
    return oddTapsBack_[count == PartitionLayout::kHeadTaps].data();
  }
  int partitions(int stage) const { return partitions_[stage]; }
  // Partition k of a stage: its spectrum, real and imaginary parts apart, bins(stage) values each,
  // stride(stage) apart. The bins at 0 and at the block (half the transform's size) are real: the
  // first bin carries the second's value as its imaginary part, so the convolver's products run
  // over the block's count of bins in whole groups of kBinGroup. The stride is not a power of two,
  // so the partitions' spectra, which the products read side by side, do not all fall into the
  // same few sets of the processor's caches.
  const float* real(int stage, int k) const { return &real_[stage][k * stride(stage)]; }
  const float* imaginary(int stage, int k) const { return &imaginary_[stage][k * stride(stage)]; }
  // With partitions in the first stage: the head's taps from kEarlyTap on as a partition of it,
  // for the first block of each of its periods (see PartitionLayout.h).
  const float* earlyReal() const { return earlyReal_.data(); }
  const float* earlyImaginary() const { return earlyImaginary_.data(); }
  static constexpr int kBinGroup = 4;
  static constexpr int bins(int stage) { return PartitionLayout::kStage[stage].block; }
  static constexpr int stride(int stage) { return bins(stage) + kBinGroup; }

 private:
  ImpulseResponse() = default;
  static void makeWindows(const float* taps, int count, AlignedVector<float>& to);
  int length_ = 0;
  std::vector<float> head_;
  AlignedVector<float> pairWindows_[2][3];  // [over kHeadTaps][which]
  AlignedVector<float> oddTapsBack_[2];
  int partitions_[PartitionLayout::kStages] = {};
  std::vector<float> real_[PartitionLayout::kStages];
  std::vector<float> imaginary_[PartitionLayout::kStages];
  std::vector<float> earlyReal_;
  std::vector<float> earlyImaginary_;
};
