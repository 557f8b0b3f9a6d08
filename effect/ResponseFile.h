// An impulse response read from an audio file the player chose (WAV, AIFF or FLAC; 8 to 32-bit
// integer or float; the first channel of several) with libsndfile: only the part the cabinet uses,
// the first second and the 10 ms its fade needs. Any thread but the audio thread (it reads a file
// and allocates); the effect reads on its loading thread (ResponseFileLoader).
#pragma once

#include <string>
#include <vector>

namespace ResponseFile {

// Larger files are refused unread: no impulse response worth a second needs more.
constexpr long long kMaxFileBytes = 50LL * 1024 * 1024;

struct Contents {
  std::vector<float> samples;  // the first channel
  double rate = 0.0;
  bool cut = false;  // the file is longer than the second the cabinet plays
};

// The file's name without its folders, as it is shown and stored with a project: UTF-8 without
// control characters, at most StateChunk::kMaxNameBytes long.
std::string displayName(const std::string& utf8Path);

// Reads the file at utf8Path. False, with *why set to one line saying why (unreadable, too large,
// not WAV/AIFF/FLAC, a rate outside what the cabinet takes, empty, silent, damaged, no memory),
// when it cannot be used; out then holds nothing useful.
bool read(const std::string& utf8Path, Contents& out, std::string& why);

}  // namespace ResponseFile
