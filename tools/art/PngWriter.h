// Encodes a Cairo image into PNG bytes: straight (not premultiplied) 8-bit RGBA, or RGB when
// every pixel is opaque, deflated.
// libpng and zlib are deterministic, so the same pixels always give the same bytes.
#ifndef KORVALITE_TOOLS_ART_PNGWRITER_H
#define KORVALITE_TOOLS_ART_PNGWRITER_H

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// The editor's pictures take no row filter: the plug-in decodes them when its window first
// opens, and unfiltering (Paeth above all) was about half of that work; without filters these
// textures even deflate smaller (1.89 MB against 2.46 MB for the six). kAdaptive tries every
// filter per row, which suits the preview, a picture nobody decodes against the clock.
enum class RowFilters { kNone, kAdaptive };
std::vector<uint8_t> encodePng(cairo_surface_t* image, RowFilters filters);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool readFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_PNGWRITER_H
