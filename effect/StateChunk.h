// The effect's state as the host stores it with a project (effGetChunk/effSetChunk): the twelve
// parameter values and the name of each program, and the user's impulse response itself (its
// samples and rate, not a path), so a project sounds the same on another machine. Our own format,
// versioned, checksummed and little-endian, described in docs/chunks.md. Any thread; the effect
// calls it from the dispatcher thread.
#pragma once

#include <cstdint>
#include <vector>

#include "model/ParameterIndex.h"
#include "plugin/VstInterface.h"

namespace StateChunk {

constexpr uint32_t kVersion = 1;
constexpr uint32_t kHeaderBytes = 40;
// Anything larger is refused before it is looked at: a bank with a second of response at
// 384 kHz (the most the effect keeps) is under 1.6 MB.
constexpr uint32_t kMaxBytes = 4u << 20;
constexpr uint32_t kMaxResponseSamples = 400000;

struct Program {
  float values[kNumParams];
  char name[kVstMaxProgNameLen];  // terminated
};

struct Contents {
  bool bank = true;  // all programs and the current one's number, or one program
  uint32_t current = 0;
  std::vector<Program> programs;
  std::vector<float> response;  // the user's response as it was given; empty when none
  double responseRate = 0.0;
};

// The bytes of c.
std::vector<uint8_t> write(const Contents& c);

// Reads size bytes at data and nothing past them. True, with out filled, only for a whole chunk
// of this version, of the kind asked for (bank or program, with its number of programs), with its
// checksum right, every value a number within 0..1, every name terminated and a response rate
// within the range responses may come at; false for anything else (out then holds nothing useful).
bool read(const void* data, int64_t size, bool bank, Contents& out);

// The IEEE 802.3 CRC-32 of size bytes, as the chunk's checksum.
uint32_t crc32(const uint8_t* data, size_t size);

}  // namespace StateChunk
