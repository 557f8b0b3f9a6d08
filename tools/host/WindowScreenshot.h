// A picture of a window's client area as it is on screen, saved as PNG. Taken with BitBlt
// from the window's device context: under Wine PrintWindow gives a black picture.
#pragma once

#ifdef _WIN32
#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // top row first, 3 bytes a pixel
};

// Throws HostError when the window cannot be read.
Screenshot captureClientArea(void* window);
// Throws HostError when the file cannot be written.
void writePng(const std::string& path, const Screenshot& shot);
#endif
