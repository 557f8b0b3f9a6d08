// How the convolution splits an impulse response. The first kHeadTaps taps are applied directly,
// sample by sample, so the stage adds no latency; the rest lies in FFT partitions whose block
// grows with the distance from the start, so a long response costs little more per sample than a
// short one (uniform partitions of 64 would make a 200 ms response cost three times as much).
//
// A stage of block B is computed once every B samples, from the last 2B inputs (overlap-save),
// and its partitions must start at least B taps in, so its output for a block is ready when the
// block begins. Every start below is a multiple of its block.
#pragma once

namespace PartitionLayout {

constexpr int kHeadTaps = 64;
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
    {64, 64, 1024},
    {1024, 1024, 16384},
    {8192, 16384, kMaxTaps},
};
constexpr int kLargestBlock = 8192;

// The partitions stage s needs for a response of `length` taps.
constexpr int partitions(int s, int length) {
  const Stage& g = kStage[s];
  const int last = length < g.end ? length : g.end;
  return last > g.start ? (last - g.start + g.block - 1) / g.block : 0;
}

static_assert(kStage[0].start == kHeadTaps && kStage[0].end == kStage[1].start &&
                  kStage[1].end == kStage[2].start,
              "the stages follow each other without a gap");

}  // namespace PartitionLayout
