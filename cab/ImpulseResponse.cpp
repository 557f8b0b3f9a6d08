#include "cab/ImpulseResponse.h"

#include <new>

#include "cab/FftPlan.h"

using namespace PartitionLayout;

void ImpulseResponse::makeWindows(const float* taps, int count, AlignedVector<float>& to) {
  to.assign(count + 14, 0.0f);
  for (int k = 0; k < count; ++k) to[7 + k] = taps[k];
}

std::shared_ptr<const ImpulseResponse> ImpulseResponse::prepare(const float* taps, int length) {
  if (taps == nullptr || length < 1) return nullptr;
  if (length > kMaxTaps) length = kMaxTaps;
  try {
    std::shared_ptr<ImpulseResponse> ir(new ImpulseResponse());
    ir->length_ = length;
    ir->head_.assign(4 * kHeadTaps, 0.0f);
    for (int k = 0; k < kHeadTaps && k < length; ++k) {
      for (int lane = 0; lane < 4; ++lane) ir->head_[4 * k + lane] = taps[k];
    }
    // The head's first taps (zeros past the response's end).
    std::vector<float> head(kHeadTaps, 0.0f);
    for (int k = 0; k < kHeadTaps && k < length; ++k) head[k] = taps[k];
    for (const int count : {kEarlyTap, kHeadTaps}) {
      const int full = count == kHeadTaps;
      std::vector<float> split[3];
      for (int k = 0; k < count / 2; ++k) {
        split[0].push_back(head[2 * k]);
        split[1].push_back(head[2 * k + 1]);
        split[2].push_back(head[2 * k] + head[2 * k + 1]);
      }
      for (int i = 0; i < 3; ++i) makeWindows(split[i].data(), count / 2, ir->pairWindows_[full][i]);
      ir->oddTapsBack_[full].assign(count, 0.0f);
      for (int k = 0; k < count / 2; ++k) ir->oddTapsBack_[full][count - 1 - 2 * k] = head[2 * k + 1];
    }
    for (int s = 0; s < kStages; ++s) {
      const int p = PartitionLayout::partitions(s, length);
      ir->partitions_[s] = p;
      if (p == 0) continue;
      const int block = kStage[s].block;
      FftPlan plan(2 * block);
      if (!plan.valid()) return nullptr;
      std::vector<float> time(2 * block);
      std::vector<FftComplex> spectrum(plan.bins());
      // Overlap-save: the partition sits in the first half, zeros after it; the convolver keeps
      // the last half of each inverse transform. 1/(2B) undoes the unscaled inverse.
      const float scale = 1.0f / static_cast<float>(2 * block);
      auto transform = [&](int first, float* real, float* imaginary) {
        for (int j = 0; j < 2 * block; ++j) {
          time[j] = j < block && first + j < length ? taps[first + j] * scale : 0.0f;
        }
        plan.forward(time.data(), spectrum.data());
        for (int b = 0; b < block; ++b) real[b] = spectrum[b].r, imaginary[b] = spectrum[b].i;
        imaginary[0] = spectrum[block].r;
      };
      ir->real_[s].assign(static_cast<size_t>(p) * stride(s), 0.0f);
      ir->imaginary_[s].assign(ir->real_[s].size(), 0.0f);
      for (int k = 0; k < p; ++k) {
        transform(kStage[s].start + k * block, &ir->real_[s][k * stride(s)],
                  &ir->imaginary_[s][k * stride(s)]);
      }
      if (s == 0) {
        ir->earlyReal_.assign(stride(0), 0.0f);
        ir->earlyImaginary_.assign(stride(0), 0.0f);
        transform(kEarlyTap, ir->earlyReal_.data(), ir->earlyImaginary_.data());
      }
    }
    return ir;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
