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

// The bytes a character takes from its first byte; 0 for a byte that starts none.
size_t characterLength(uint8_t lead) {
  return lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

// The length of the well-formed UTF-8 character (no overlong form, surrogate or value past
// U+10FFFF) that is not a control character at p, or 0: a name shows on one line of the editor,
// and only a damaged or forged chunk holds anything else.
size_t cleanCharacter(const uint8_t* p, size_t left) {
  const size_t n = characterLength(p[0]);
  if (n == 0 || n > left) return 0;
  uint32_t c = n == 1 ? p[0] : p[0] & (0xFFu >> (n + 1));
  for (size_t k = 1; k < n; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    c = c << 6 | (p[k] & 0x3Fu);
  }
  constexpr uint32_t kLowest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
  return c < kLowest[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || control ? 0 : n;
}

bool isCleanName(const uint8_t* p, size_t size) {
  for (size_t i = 0; i < size;) {
    const size_t n = cleanCharacter(p + i, size - i);
    if (n == 0) return false;
    i += n;
  }
  return true;
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

std::string StateChunk::cleanName(const std::string& name) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(name.data());
  std::string clean;
  for (size_t i = 0; i < name.size();) {
    const size_t n = cleanCharacter(p + i, name.size() - i);
    if (clean.size() + (n == 0 ? 1 : n) > kMaxNameBytes) break;
    if (n == 0) {
      clean += '?';
      ++i;
    } else {
      clean.append(name, i, n);
      i += n;
    }
  }
  return clean;
}

std::vector<uint8_t> StateChunk::write(const Contents& c) {
  const uint32_t count = static_cast<uint32_t>(c.programs.size());
  const uint32_t samples = static_cast<uint32_t>(c.response.size());
  const std::string name = samples > 0 ? cleanName(c.responseName) : std::string();
  const uint32_t nameBytes = static_cast<uint32_t>(name.size());
  const uint32_t total = kHeaderBytes + count * kProgramBytes + samples * 4 + 8 + nameBytes + 4;
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
  at = put32(at, c.editorScale);
  at = put32(at, nameBytes);
  for (char ch : name) *at++ = static_cast<uint8_t>(ch);
  put32(at, crc32(b.data(), total - 4));
  return b;
}

bool StateChunk::read(const void* data, int64_t size, bool bank, Contents& out) {
  if (data == nullptr || size < kHeaderBytes + 4 || size > kMaxBytes) return false;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  const uint32_t version = get32(p + 4);
  if (std::memcmp(p, kMagic, 4) != 0 || (version != 1 && version != 2) || get32(p + 8) != size) return false;
  const uint32_t kind = get32(p + 12);
  const uint32_t count = get32(p + 16);
  const uint32_t current = get32(p + 20);
  const uint32_t samples = get32(p + 28);
  if (kind != (bank ? kBank : kProgram) || count != (bank ? uint32_t(kNumPrograms) : 1u) ||
      current >= uint32_t(kNumPrograms) || get32(p + 24) != kNumParams || samples > kMaxResponseSamples) {
    return false;
  }
  // Version 2 ends with the editor's scale and the file name's length before the name itself.
  const uint64_t body = uint64_t(kHeaderBytes) + uint64_t(count) * kProgramBytes + uint64_t(samples) * 4;
  const uint64_t tail = version >= 2 ? 8 : 0;
  if (body + tail + 4 > uint64_t(size)) return false;
  const uint32_t nameBytes = version >= 2 ? get32(p + body + 4) : 0;
  if (nameBytes > kMaxNameBytes || body + tail + nameBytes + 4 != uint64_t(size)) return false;
  if (crc32(p, static_cast<size_t>(size) - 4) != get32(p + size - 4)) return false;
  const uint64_t rateBits = uint64_t(get32(p + 32)) | uint64_t(get32(p + 36)) << 32;
  double rate;
  std::memcpy(&rate, &rateBits, sizeof rate);
  if (samples > 0 && !(rate >= UserResponse::kLowestRate && rate <= UserResponse::kHighestRate)) return false;
  const uint32_t scale = version >= 2 ? get32(p + body) : kDefaultEditorScale;
  if (scale != kScreenEditorScale && (scale < kLowestEditorScale || scale > kHighestEditorScale))
    return false;
  const uint8_t* name = p + body + tail;
  if ((nameBytes > 0 && samples == 0) || !isCleanName(name, nameBytes)) return false;
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
    out.responseName.assign(reinterpret_cast<const char*>(name), nameBytes);
    out.editorScale = scale;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
