// The effect's state as the host stores it with a project (effGetChunk/effSetChunk): the twelve
// parameter values and the name of each program, the user's impulse response itself (its samples
// and rate, not a path, so a project sounds the same on another machine) with the name of the file
// it came from, and the editor's scale. Our own format,
// versioned, checksummed and little-endian, described in docs/chunks.md. Any thread; the effect
// calls it from the dispatcher thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ParameterIndex.h"
#include "plugin/VstInterface.h"

namespace StateChunk {

// Version 2 added the response's file name and the editor's scale; version 1 chunks, which stored
// projects hold, are still read (no name, the size that suits the screen).
constexpr uint32_t kVersion = 2;
constexpr uint32_t kHeaderBytes = 40;
// A file name longer than this is cut (at a character's start) before it is stored.
constexpr uint32_t kMaxNameBytes = 255;
// The editor's scale in percent: what a chunk may hold. 0, the default and what a version 1
// chunk means, is no size chosen yet: the editor opens at the size that suits the screen.
constexpr uint32_t kScreenEditorScale = 0;
constexpr uint32_t kDefaultEditorScale = kScreenEditorScale;
constexpr uint32_t kLowestEditorScale = 50;
constexpr uint32_t kHighestEditorScale = 400;
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
  std::string responseName;  // UTF-8, at most kMaxNameBytes; empty without a response
  uint32_t editorScale = kDefaultEditorScale;
};

// The bytes of c, in the current version, its name made clean (cleanName).
std::vector<uint8_t> write(const Contents& c);

// Reads size bytes at data and nothing past them. True, with out filled, only for a whole chunk
// of version 1 or 2, of the kind asked for (bank or program, with its number of programs), with its
// checksum right, every value a number within 0..1, every name terminated, a response rate within
// the range responses may come at, and (version 2) a file name of well-formed UTF-8 without control
// characters, present only with a response, and a scale within its range; false for anything else
// (out then holds nothing useful).
bool read(const void* data, int64_t size, bool bank, Contents& out);

// name as a chunk may hold it: every byte that is not part of a well-formed character, and every
// control character, becomes '?', and the result is cut between two characters to at most
// kMaxNameBytes.
std::string cleanName(const std::string& name);

// The IEEE 802.3 CRC-32 of size bytes, as the chunk's checksum.
uint32_t crc32(const uint8_t* data, size_t size);

}  // namespace StateChunk
