#include "tools/host/AudioFeeder.h"

#ifdef _WIN32
#include <algorithm>
#include <chrono>
#include <cmath>

#include "tools/host/PluginInstance.h"

namespace {

constexpr double kSineFrequency = 220.0;
constexpr double kSineAmplitude = 0.5;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

AudioFeeder::AudioFeeder(PluginInstance& plugin, const std::string& source, double rate, int block)
    : plugin_(plugin), source_(source), rate_(rate), block_(block) {}

AudioFeeder::~AudioFeeder() {
  stop();
}

void AudioFeeder::start() {
  if (source_.empty() || thread_.joinable()) return;
  if (source_ != "sine") reader_ = std::make_unique<AudioFileReader>(source_);
  running_ = true;
  thread_ = std::thread([this] { run(); });
}

void AudioFeeder::stop() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
}

void AudioFeeder::fill(std::vector<float>& left, std::vector<float>& right) {
  if (silent_) {
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    return;
  }
  if (!reader_) {
    for (size_t i = 0; i < left.size(); ++i, ++phase_)
      left[i] = right[i] =
          static_cast<float>(kSineAmplitude * std::sin(kTwoPi * kSineFrequency * phase_ / rate_));
    return;
  }
  const int channels = reader_->channels();
  std::vector<float> interleaved(left.size() * channels);
  const int got = reader_->read(interleaved.data(), static_cast<int>(left.size()));
  if (got < static_cast<int>(left.size())) reader_ = std::make_unique<AudioFileReader>(source_);  // loop
  for (size_t i = 0; i < left.size(); ++i) {
    const bool have = static_cast<int>(i) < got;
    left[i] = have ? interleaved[i * channels] : 0.0f;
    right[i] = have ? interleaved[i * channels + (channels > 1 ? 1 : 0)] : 0.0f;
  }
}

// Blocks at the sample rate's pace, as a DAW's audio callback comes.
void AudioFeeder::run() {
  std::vector<float> inL(block_), inR(block_), outL(block_), outR(block_);
  float* inputs[] = {inL.data(), inR.data()};
  float* outputs[] = {outL.data(), outR.data()};
  const auto period = std::chrono::duration<double>(block_ / rate_);
  auto next = std::chrono::steady_clock::now();
  while (running_) {
    fill(inL, inR);
    plugin_.process(inputs, outputs, 2, block_);
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
    std::this_thread::sleep_until(next);
  }
}
#endif
