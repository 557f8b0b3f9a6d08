// Encodes a Cairo image into PNG bytes: straight (not premultiplied) 8-bit RGBA, or RGB when
// every pixel is opaque, with adaptive row filters and full deflate, so the strips stay small.
// libpng and zlib are deterministic, so the same pixels always give the same bytes.
#ifndef KORVALITE_TOOLS_ART_PNGWRITER_H
#define KORVALITE_TOOLS_ART_PNGWRITER_H

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art {

std::vector<uint8_t> encodePng(cairo_surface_t* image);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool readFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_PNGWRITER_H
