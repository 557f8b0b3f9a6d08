#include "cab/Convolver.h"

#include <new>

using namespace PartitionLayout;

namespace {
// The most partitions a stage holds.
constexpr int kMaxPartitions = 32;
static_assert(partitions(0, kMaxTaps) <= kMaxPartitions && partitions(1, kMaxTaps) <= kMaxPartitions &&
                  partitions(2, kMaxTaps) <= kMaxPartitions,
              "the partitions' pointers fit");
static_assert(ImpulseResponse::kBinGroup == 8, "the products run in two vectors of four bins");
}  // namespace

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
        st.real[c].assign(static_cast<size_t>(st.depth) * ImpulseResponse::stride(s), 0.0f);
        st.imaginary[c].assign(st.real[c].size(), 0.0f);
        st.out[c].assign(block, 0.0f);
      }
      st.plan.reset(new FftPlan(2 * block));
      if (!st.plan->valid()) return false;
    }
    for (int c = 0; c < 2; ++c) {
      sumReal_[c].assign(largest + ImpulseResponse::kBinGroup, 0.0f);
      sumImaginary_[c].assign(largest + ImpulseResponse::kBinGroup, 0.0f);
    }
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

// A group of bins at a time, its sums over the partitions kept in registers (summed over the
// bins, each partition's products would go through memory once per partition); both channels
// in the same pass, so each partition's response is loaded once.
template <int kChannels>
void Convolver::multiply(const StageState& st, int s, int partitions, const int* from, int stride) {
  const float* realIn[2] = {st.real[0].data(), st.real[kChannels - 1].data()};
  const float* imaginaryIn[2] = {st.imaginary[0].data(), st.imaginary[kChannels - 1].data()};
  float* realOut[2] = {sumReal_[0].data(), sumReal_[kChannels - 1].data()};
  float* imaginaryOut[2] = {sumImaginary_[0].data(), sumImaginary_[kChannels - 1].data()};
  const float* responseReal = ir_->real(s, 0);
  const float* responseImaginary = ir_->imaginary(s, 0);
  for (int b = 0; b < stride; b += ImpulseResponse::kBinGroup) {
    Lanes4 r0 = {}, r1 = {}, i0 = {}, i1 = {};  // the first channel's sums
    Lanes4 r2 = {}, r3 = {}, i2 = {}, i3 = {};  // the second's
    for (int k = 0; k < partitions; ++k) {
      const float* hr = responseReal + k * stride + b;
      const float* hi = responseImaginary + k * stride + b;
      const Lanes4 cr = load(hr), dr = load(hr + 4);
      const Lanes4 ci = load(hi), di = load(hi + 4);
      const int at = from[k] + b;
      {
        const Lanes4 ar = load(realIn[0] + at), br = load(realIn[0] + at + 4);
        const Lanes4 ai = load(imaginaryIn[0] + at), bi = load(imaginaryIn[0] + at + 4);
        r0 = r0 + (ar * cr - ai * ci);
        i0 = i0 + (ar * ci + ai * cr);
        r1 = r1 + (br * dr - bi * di);
        i1 = i1 + (br * di + bi * dr);
      }
      if constexpr (kChannels == 2) {
        const Lanes4 ar = load(realIn[1] + at), br = load(realIn[1] + at + 4);
        const Lanes4 ai = load(imaginaryIn[1] + at), bi = load(imaginaryIn[1] + at + 4);
        r2 = r2 + (ar * cr - ai * ci);
        i2 = i2 + (ar * ci + ai * cr);
        r3 = r3 + (br * dr - bi * di);
        i3 = i3 + (br * di + bi * dr);
      }
    }
    store(realOut[0] + b, r0);
    store(realOut[0] + b + 4, r1);
    store(imaginaryOut[0] + b, i0);
    store(imaginaryOut[0] + b + 4, i1);
    if constexpr (kChannels == 2) {
      store(realOut[1] + b, r2);
      store(realOut[1] + b + 4, r3);
      store(imaginaryOut[1] + b, i2);
      store(imaginaryOut[1] + b + 4, i3);
    }
  }
}

void Convolver::runStages(int channels) {
  for (int s = 0; s < stages_; ++s) {
    const int block = kStage[s].block;
    if ((n_ & static_cast<uint32_t>(block - 1)) != 0) break;  // the larger blocks end on these ends
    StageState& st = stage_[s];
    FftPlan& plan = *st.plan;
    const int bins = ImpulseResponse::bins(s);
    const int stride = ImpulseResponse::stride(s);
    const int offset = kStage[s].start / block - 1;
    const int partitions = ir_->partitions(s);
    st.at = st.at + 1 < st.depth ? st.at + 1 : 0;
    // The last two blocks of input, oldest first, one channel per lane, in one transform.
    FftPlan::Lanes* time = plan.time();
    const uint32_t first = n_ - static_cast<uint32_t>(2 * block);
    const float* ring0 = ring_[0].data();
    const float* ring1 = ring_[1].data();
    for (int j = 0; j < 2 * block; ++j) {
      const uint32_t at = (first + static_cast<uint32_t>(j)) & ringMask_;
      time[j] = FftPlan::Lanes{ring0[at], ring1[at], 0.0f, 0.0f};
    }
    plan.forward();
    FftPlan::LaneComplex* spectrum = plan.spectrum();
    // Partition k meets the input spectrum of k (plus the stage's offset) blocks ago.
    int from[kMaxPartitions];
    int index = st.at - offset;
    for (int k = 0; k < partitions; ++k) {
      index = index < 0 ? index + st.depth : index;
      from[k] = index * stride;
      --index;
    }
    // Both channels' spectra are kept, with one channel too (then the lanes are equal): see
    // finishSample.
    for (int c = 0; c < 2; ++c) {
      float* newestReal = &st.real[c][static_cast<size_t>(st.at) * stride];
      float* newestImaginary = &st.imaginary[c][static_cast<size_t>(st.at) * stride];
      for (int b = 0; b < bins; ++b) {
        newestReal[b] = spectrum[b].r[c];
        newestImaginary[b] = spectrum[b].i[c];
      }
    }
    if (channels == 2) {
      multiply<2>(st, s, partitions, from, stride);
    } else {
      multiply<1>(st, s, partitions, from, stride);
    }
    const float* sr0 = sumReal_[0].data();
    const float* si0 = sumImaginary_[0].data();
    const float* sr1 = sumReal_[channels - 1].data();
    const float* si1 = sumImaginary_[channels - 1].data();
    for (int b = 0; b < bins; ++b) {
      spectrum[b].r = FftPlan::Lanes{sr0[b], sr1[b], 0.0f, 0.0f};
      spectrum[b].i = FftPlan::Lanes{si0[b], si1[b], 0.0f, 0.0f};
    }
    plan.inverse();
    for (int c = 0; c < 2; ++c) {
      float* out = st.out[c].data();
      for (int j = 0; j < block; ++j) out[j] = time[block + j][c];
    }
  }
}
