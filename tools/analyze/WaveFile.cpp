#include "tools/analyze/WaveFile.h"

#include <sndfile.h>

#include <cstdio>
#include <string>

bool readChannel(const std::string& path, int channel, MonoSignal& signal, std::string& error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (channel < 0 || channel >= info.channels) {
    sf_close(file);
    error = path + " has no channel " + std::to_string(channel);
    return false;
  }
  std::vector<float> frames(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  signal.rate = info.samplerate;
  signal.samples.resize(static_cast<size_t>(got));
  for (sf_count_t i = 0; i < got; ++i)
    signal.samples[static_cast<size_t>(i)] = frames[static_cast<size_t>(i * info.channels + channel)];
  return true;
}

bool readMono(const std::string& path, MonoSignal& signal, std::string& error) {
  return readChannel(path, 0, signal, error);
}

bool writeMono(const std::string& path, const MonoSignal& signal, std::string& error) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(signal.rate);
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  const std::string temp = path + ".partial";
  SNDFILE* file = sf_open(temp.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const auto n = static_cast<sf_count_t>(signal.samples.size());
  const bool ok = sf_writef_float(file, signal.samples.data(), n) == n;
  sf_close(file);
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}
