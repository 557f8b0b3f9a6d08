// Bounded text helpers for everything that writes into a buffer someone else owns (the
// host's string buffers above all). Sizes always count the terminator, like the
// kVstMax... limits of VstInterface.h.
#pragma once

#include <cstddef>
#include <cstring>

// Copies `source` into `dest`, a buffer of `destSize` bytes, cutting what does not fit.
// The result is always terminated when destSize > 0; a null `source` gives the empty text;
// a null `dest` or a zero size writes nothing. Reads `source` only up to its terminator or
// destSize - 1 characters, whichever comes first, so an unterminated source is safe too.
inline void vstCopyString(char* dest, const char* source, size_t destSize) {
  if (dest == nullptr || destSize == 0) {
    return;
  }
  size_t length = 0;
  if (source != nullptr) {
    while (length + 1 < destSize && source[length] != '\0') {
      ++length;
    }
    std::memcpy(dest, source, length);
  }
  dest[length] = '\0';
}
