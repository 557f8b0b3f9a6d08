// Mono float audio in and out of WAV files, for the analysis tool.
#pragma once

#include <string>
#include <vector>

struct MonoSignal {
  double rate = 0;
  std::vector<float> samples;
};

// Reads channel 0 of any file libsndfile reads; false and a message when it cannot.
bool readMono(const std::string& path, MonoSignal& signal, std::string& error);
// Reads one channel; false and a message when the file or the channel cannot be read.
bool readChannel(const std::string& path, int channel, MonoSignal& signal, std::string& error);
// Writes a 32-bit float WAV through a temporary file renamed when complete.
bool writeMono(const std::string& path, const MonoSignal& signal, std::string& error);
