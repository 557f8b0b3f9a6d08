// Bounded text helpers for everything that writes into a buffer someone else owns (the
// host's string buffers above all). Sizes always count the terminator, like the
// kVstMax... limits of VstInterface.h.
#pragma once

#include <cstddef>
#include <cstring>

// The longest prefix of text[0..length) that does not end inside a UTF-8 character: a lead
// byte whose continuation bytes are not all within the prefix is dropped with them.
inline size_t utf8WholeLength(const char* text, size_t length) {
  size_t lead = length;
  while (lead > 0 && length - lead < 3 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  if (lead == 0) {
    return length;
  }
  const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
  const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
  return length - (lead - 1) < needed ? lead - 1 : length;
}

// Copies `source` into `dest`, a buffer of `destSize` bytes, cutting what does not fit.
// The result is always terminated when destSize > 0; a null `source` gives the empty text;
// a null `dest` or a zero size writes nothing. Reads `source` only up to its terminator or
// destSize - 1 characters, whichever comes first, so an unterminated source is safe too.
// A cut never ends in the middle of a UTF-8 character: a character that does not fit whole
// is left out, so hosts never show a broken glyph or reject the name as invalid text.
inline void vstCopyString(char* dest, const char* source, size_t destSize) {
  if (dest == nullptr || destSize == 0) {
    return;
  }
  size_t length = 0;
  if (source != nullptr) {
    while (length + 1 < destSize && source[length] != '\0') {
      ++length;
    }
    if (length + 1 == destSize) {
      length = utf8WholeLength(source, length);
    }
    std::memcpy(dest, source, length);
  }
  dest[length] = '\0';
}
