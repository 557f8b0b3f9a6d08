#include "cab/Convolver.h"

#include <new>

using namespace PartitionLayout;

bool Convolver::prepare(std::shared_ptr<const ImpulseResponse> ir) {
  ir_.reset();
  stages_ = 0;
  if (ir == nullptr) return false;
  try {
    int stages = 0;
    while (stages < kStages && ir->partitions(stages) > 0) ++stages;
    const int largest = stages > 0 ? kStage[stages - 1].block : 1;
    for (int c = 0; c < 2; ++c) {
      line_[c].assign(2 * kHeadTaps, 0.0f);
      ring_[c].assign(2 * largest, 0.0f);
    }
    ringMask_ = static_cast<uint32_t>(2 * largest - 1);
    for (int s = 0; s < kStages; ++s) {
      StageState& st = stage_[s];
      st = StageState();
      if (s >= stages) continue;
      const int block = kStage[s].block;
      st.depth = ir->partitions(s) + kStage[s].start / block - 1;
      for (int c = 0; c < 2; ++c) {
        st.real[c].assign(static_cast<size_t>(st.depth) * ImpulseResponse::bins(s), 0.0f);
        st.imaginary[c].assign(st.real[c].size(), 0.0f);
        st.out[c].assign(block, 0.0f);
      }
      st.plan.reset(new FftPlan(2 * block));
      if (!st.plan->valid()) return false;
    }
    time_.assign(2 * largest, 0.0f);
    spectrum_.assign(largest + 1, FftComplex{0.0f, 0.0f});
    sumReal_.assign(largest + 1, 0.0f);
    sumImaginary_.assign(largest + 1, 0.0f);
    stages_ = stages;
    ir_ = std::move(ir);
    reset();
    return true;
  } catch (const std::bad_alloc&) {
    stages_ = 0;
    return false;
  }
}

void Convolver::reset() {
  n_ = 0;
  position_ = 0;
  for (int c = 0; c < 2; ++c) {
    for (float& v : line_[c]) v = 0.0f;
    for (float& v : ring_[c]) v = 0.0f;
  }
  for (int s = 0; s < stages_; ++s) {
    StageState& st = stage_[s];
    st.at = 0;
    for (int c = 0; c < 2; ++c) {
      for (float& v : st.real[c]) v = 0.0f;
      for (float& v : st.imaginary[c]) v = 0.0f;
      for (float& v : st.out[c]) v = 0.0f;
    }
  }
}

void Convolver::runStages(int channels) {
  for (int s = 0; s < stages_; ++s) {
    const int block = kStage[s].block;
    if ((n_ & static_cast<uint32_t>(block - 1)) != 0) break;  // the larger blocks end on these ends
    StageState& st = stage_[s];
    const int bins = block + 1;
    const int offset = kStage[s].start / block - 1;
    const int partitions = ir_->partitions(s);
    st.at = st.at + 1 < st.depth ? st.at + 1 : 0;
    for (int c = 0; c < channels; ++c) {
      // The last two blocks of input, oldest first.
      const uint32_t first = n_ - static_cast<uint32_t>(2 * block);
      for (int j = 0; j < 2 * block; ++j) time_[j] = ring_[c][(first + static_cast<uint32_t>(j)) & ringMask_];
      st.plan->forward(time_.data(), spectrum_.data());
      float* newestReal = &st.real[c][static_cast<size_t>(st.at) * bins];
      float* newestImaginary = &st.imaginary[c][static_cast<size_t>(st.at) * bins];
      for (int b = 0; b < bins; ++b) {
        newestReal[b] = spectrum_[b].r;
        newestImaginary[b] = spectrum_[b].i;
      }
      float* sr = sumReal_.data();
      float* si = sumImaginary_.data();
      for (int b = 0; b < bins; ++b) {
        sr[b] = 0.0f;
        si[b] = 0.0f;
      }
      // Partition k meets the input spectrum of k (plus the stage's offset) blocks ago.
      int index = st.at - offset;
      for (int k = 0; k < partitions; ++k) {
        index = index < 0 ? index + st.depth : index;
        const float* xr = &st.real[c][static_cast<size_t>(index) * bins];
        const float* xi = &st.imaginary[c][static_cast<size_t>(index) * bins];
        const float* hr = ir_->real(s, k);
        const float* hi = ir_->imaginary(s, k);
        for (int b = 0; b < bins; ++b) {
          sr[b] = sr[b] + (xr[b] * hr[b] - xi[b] * hi[b]);
          si[b] = si[b] + (xr[b] * hi[b] + xi[b] * hr[b]);
        }
        --index;
      }
      for (int b = 0; b < bins; ++b) spectrum_[b] = FftComplex{sr[b], si[b]};
      st.plan->inverse(spectrum_.data(), time_.data());
      float* out = st.out[c].data();
      for (int j = 0; j < block; ++j) out[j] = time_[block + j];
    }
  }
}
