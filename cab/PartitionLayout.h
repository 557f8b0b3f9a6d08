// How the convolution splits an impulse response. The first kHeadTaps taps are applied directly,
// so the stage adds no latency; the rest lies in FFT partitions whose block grows with the
// distance from the start, so a long response costs little more per sample than a short one.
//
// A stage of block B is computed once every 2B samples, from the last 3B inputs (overlap-save):
// the forward transforms of its last two blocks and the inverse transforms of the coming two
// blocks' outputs go through the FFT together, one per lane of its four, so every lane works.
// That needs each stage's partitions to start at least 2B taps in, so the second coming block's
// output only needs inputs already heard; every start below is exactly twice its block.
//
// The first of the coming two blocks needs only inputs up to B taps back, so in it the first stage
// also applies the head's taps from kEarlyTap on (from the newest input spectrum), and the direct
// sums cover only the taps before: the head costs three quarters of its length on average.
#pragma once

namespace PartitionLayout {

constexpr int kHeadTaps = 128;
constexpr int kEarlyTap = 64;
// The longest response the convolver takes: 1 s at 192 kHz and then some; a user's response is
// cut to 1 s at the host rate before it gets here, and rates above 262 kHz get less than 1 s.
constexpr int kMaxTaps = 1 << 18;

struct Stage {
  int block;  // partition length in taps, a power of two
  int start;  // first tap of the stage's first partition
  int end;    // one past the stage's last possible tap
};
constexpr int kStages = 3;
constexpr Stage kStage[kStages] = {
    {64, 128, 1024},
    {512, 1024, 16384},
    {8192, 16384, kMaxTaps},
};
constexpr int kLargestBlock = 8192;
// The first stage's period: the convolver's work is split at its multiples.
constexpr int kPeriod = 2 * kStage[0].block;

// The partitions stage s needs for a response of `length` taps.
constexpr int partitions(int s, int length) {
  const Stage& g = kStage[s];
  const int last = length < g.end ? length : g.end;
  return last > g.start ? (last - g.start + g.block - 1) / g.block : 0;
}

static_assert(kStage[0].start == kHeadTaps && kStage[0].end == kStage[1].start &&
                  kStage[1].end == kStage[2].start,
              "the stages follow each other without a gap");
static_assert(kStage[0].start == 2 * kStage[0].block && kStage[1].start == 2 * kStage[1].block &&
                  kStage[2].start == 2 * kStage[2].block,
              "each stage computes two blocks ahead");
static_assert(kEarlyTap == kStage[0].block, "the head's second half is one block of the first stage");

}  // namespace PartitionLayout
