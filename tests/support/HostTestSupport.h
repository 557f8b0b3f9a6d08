// Helpers for tests that run the korvalite-host program as a user would: spawn it, capture its
// exit code, stdout and stderr, and make and read audio files. Shared by the native tests and
// the Windows tests (which run under Wine and spawn the Windows host there).
#pragma once

#include <string>
#include <vector>

struct HostRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  // Lines on stderr, ignoring lines the plug-in itself printed ("test effect: ...").
  std::vector<std::string> hostErrorLines() const;
};

// Runs the host program with args. envPrefix ("NAME=value ...") is applied natively only; by
// default LeakSanitizer is on, which the host leaves off unless asked.
HostRun runHost(const std::vector<std::string>& args,
                const std::string& envPrefix = "ASAN_OPTIONS=detect_leaks=1");

// An empty folder for one test, under the build tree's scratch folder.
std::string freshFolder(const std::string& name);
// The names of the files in a folder.
std::vector<std::string> filesIn(const std::string& folder);
bool fileExists(const std::string& path);

struct Audio {
  int channels = 0;
  int rate = 0;
  std::vector<float> samples;  // interleaved
  size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
  float at(size_t frame, int channel) const {
    return samples[frame * static_cast<size_t>(channels) + channel];
  }
};

// frames of sine waves, channel c at frequencies[c] Hz and amplitude amplitude.
Audio sineAudio(int rate, size_t frames, const std::vector<double>& frequencies, double amplitude);
// Writes 32-bit float WAV (or what the extension names); reads any format libsndfile reads.
void writeAudio(const std::string& path, const Audio& audio);
Audio readAudio(const std::string& path);
