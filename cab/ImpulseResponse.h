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
  // The head's first count taps (kEarlyTap or kHeadTaps) as eight-tap windows, for sums that
  // broadcast each input to eight outputs: window d (from -7 to count - 1) holds taps d..d+7,
  // zeros outside 0..count-1, in the eight values from 8 * (d + 7).
  const float* windows(int count) const {
    return (count == PartitionLayout::kEarlyTap ? earlyWindows_ : windows_).data();
  }
  // The same windows over the kHeadTaps / 2 taps of the head's even taps (which 0), its odd taps
  // (1) and the sums of each pair (2), for the head's sums over sample pairs (see Convolver.cpp).
  const float* pairWindows(int which) const { return pairWindows_[which].data(); }
  // The head's odd taps against the kHeadTaps inputs before a run, oldest first: tap 2k + 1 at
  // kHeadTaps - 1 - 2k, zeros between.
  const float* oddTapsBack() const { return oddTapsBack_.data(); }
  int partitions(int stage) const { return partitions_[stage]; }
  // Partition k of a stage: its spectrum, real and imaginary parts apart, stride(stage) values
  // each. The bins at 0 and at the block (half the transform's size) are real: the first bin
  // carries the second's value as its imaginary part, so the convolver's products run over the
  // block's count of bins in whole groups of kBinGroup.
  const float* real(int stage, int k) const { return &real_[stage][k * stride(stage)]; }
  const float* imaginary(int stage, int k) const { return &imaginary_[stage][k * stride(stage)]; }
  // With partitions in the first stage: the head's taps from kEarlyTap on as a partition of it,
  // for the first block of each of its periods (see PartitionLayout.h).
  const float* earlyReal() const { return earlyReal_.data(); }
  const float* earlyImaginary() const { return earlyImaginary_.data(); }
  static constexpr int kBinGroup = 4;
  static constexpr int stride(int stage) { return PartitionLayout::kStage[stage].block; }

 private:
  ImpulseResponse() = default;
  static void makeWindows(const float* taps, int count, AlignedVector<float>& to);
  int length_ = 0;
  std::vector<float> head_;
  AlignedVector<float> windows_;
  AlignedVector<float> earlyWindows_;
  AlignedVector<float> pairWindows_[3];
  AlignedVector<float> oddTapsBack_;
  int partitions_[PartitionLayout::kStages] = {};
  std::vector<float> real_[PartitionLayout::kStages];
  std::vector<float> imaginary_[PartitionLayout::kStages];
  std::vector<float> earlyReal_;
  std::vector<float> earlyImaginary_;
};
