#include "effect/StateChunk.h"

#include <cmath>
#include <cstring>
#include <new>

#include "cab/UserResponse.h"

namespace {

constexpr uint8_t kMagic[4] = {'K', 'R', 'V', 'L'};
constexpr uint32_t kBank = 1;
constexpr uint32_t kProgram = 2;
constexpr uint32_t kProgramBytes = kNumParams * 4 + kVstMaxProgNameLen;

// Little-endian, whatever the machine.
uint8_t* put32(uint8_t* at, uint32_t v) {
  for (int k = 0; k < 4; ++k) at[k] = static_cast<uint8_t>(v >> (8 * k));
  return at + 4;
}
uint8_t* putFloat(uint8_t* at, float f) {
  uint32_t v;
  std::memcpy(&v, &f, sizeof v);
  return put32(at, v);
}
uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
float getFloat(const uint8_t* p) {
  const uint32_t v = get32(p);
  float f;
  std::memcpy(&f, &v, sizeof f);
  return f;
}

}  // namespace

uint32_t StateChunk::crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::vector<uint8_t> StateChunk::write(const Contents& c) {
  const uint32_t count = static_cast<uint32_t>(c.programs.size());
  const uint32_t samples = static_cast<uint32_t>(c.response.size());
  const uint32_t total = kHeaderBytes + count * kProgramBytes + samples * 4 + 4;
  std::vector<uint8_t> b(total);
  uint8_t* at = b.data();
  for (uint8_t m : kMagic) *at++ = m;
  at = put32(at, kVersion);
  at = put32(at, total);
  at = put32(at, c.bank ? kBank : kProgram);
  at = put32(at, count);
  at = put32(at, c.current);
  at = put32(at, kNumParams);
  at = put32(at, samples);
  uint64_t rate;
  const double r = samples > 0 ? c.responseRate : 0.0;
  std::memcpy(&rate, &r, sizeof rate);
  at = put32(at, static_cast<uint32_t>(rate));
  at = put32(at, static_cast<uint32_t>(rate >> 32));
  for (const Program& p : c.programs) {
    for (float v : p.values) at = putFloat(at, v);
    for (char ch : p.name) *at++ = static_cast<uint8_t>(ch);
  }
  for (float v : c.response) at = putFloat(at, v);
  put32(at, crc32(b.data(), total - 4));
  return b;
}

bool StateChunk::read(const void* data, int64_t size, bool bank, Contents& out) {
  if (data == nullptr || size < kHeaderBytes + 4 || size > kMaxBytes) return false;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (std::memcmp(p, kMagic, 4) != 0 || get32(p + 4) != kVersion || get32(p + 8) != size) return false;
  const uint32_t kind = get32(p + 12);
  const uint32_t count = get32(p + 16);
  const uint32_t current = get32(p + 20);
  const uint32_t samples = get32(p + 28);
  if (kind != (bank ? kBank : kProgram) || count != (bank ? uint32_t(kNumPrograms) : 1u) ||
      current >= uint32_t(kNumPrograms) || get32(p + 24) != kNumParams || samples > kMaxResponseSamples) {
    return false;
  }
  if (uint64_t(kHeaderBytes) + uint64_t(count) * kProgramBytes + uint64_t(samples) * 4 + 4 !=
      uint64_t(size)) {
    return false;
  }
  if (crc32(p, static_cast<size_t>(size) - 4) != get32(p + size - 4)) return false;
  const uint64_t rateBits = uint64_t(get32(p + 32)) | uint64_t(get32(p + 36)) << 32;
  double rate;
  std::memcpy(&rate, &rateBits, sizeof rate);
  if (samples > 0 && !(rate >= UserResponse::kLowestRate && rate <= UserResponse::kHighestRate)) return false;
  try {
    out.bank = bank;
    out.current = current;
    out.programs.assign(count, Program());
    const uint8_t* at = p + kHeaderBytes;
    for (Program& program : out.programs) {
      for (float& v : program.values) {
        v = getFloat(at);
        at += 4;
        if (!(v >= 0.0f && v <= 1.0f)) return false;
      }
      std::memcpy(program.name, at, kVstMaxProgNameLen);
      at += kVstMaxProgNameLen;
      if (std::memchr(program.name, '\0', kVstMaxProgNameLen) == nullptr) return false;
    }
    out.response.resize(samples);
    for (float& v : out.response) {
      v = getFloat(at);
      at += 4;
      if (!std::isfinite(v)) return false;
    }
    out.responseRate = samples > 0 ? rate : 0.0;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
