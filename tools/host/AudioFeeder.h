// The DAW's audio thread for the editor command: blocks at the pace of the sample rate, from a
// file (looped) or a sine, or silence while the script says so. start, stop and the destructor
// run on the window's thread, setSilent on the script's; the feeding runs on a thread of its own.
#pragma once

#ifdef _WIN32
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/host/AudioFileReader.h"

class PluginInstance;

class AudioFeeder {
 public:
  // source: an audio file, "sine" (220 Hz at -6 dBFS), or empty for no audio at all.
  AudioFeeder(PluginInstance& plugin, const std::string& source, double rate, int block);
  ~AudioFeeder();
  AudioFeeder(const AudioFeeder&) = delete;
  AudioFeeder& operator=(const AudioFeeder&) = delete;

  // The plug-in must be switched on (PluginInstance::start) first.
  void start();
  void stop();
  void setSilent(bool silent) { silent_ = silent; }

 private:
  void fill(std::vector<float>& left, std::vector<float>& right);
  void run();

  PluginInstance& plugin_;
  std::string source_;
  double rate_;
  int block_;
  std::unique_ptr<AudioFileReader> reader_;
  double phase_ = 0.0;
  std::atomic<bool> running_{false};
  std::atomic<bool> silent_{false};
  std::thread thread_;
};
#endif
