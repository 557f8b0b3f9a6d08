// korvalite_art: renders the editor's pictures.
//
//   korvalite_art [--fonts DIR] --out DIR [--preview FILE]   write the PNGs (and a preview)
//   korvalite_art [--fonts DIR] --check DIR                  compare with the PNGs in DIR
//
// The pictures are fully determined by this program and the Liberation font files, so the
// committed resources can be checked against a fresh rendering byte for byte.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/art/ArtSet.h"
#include "tools/art/FontSet.h"
#include "tools/art/PngWriter.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: korvalite_art [--fonts DIR] --out DIR [--preview FILE]\n"
               "       korvalite_art [--fonts DIR] --check DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string fontDir = "/usr/share/fonts/truetype/liberation", outDir, checkDir, preview;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return usage();
    if (arg == "--fonts") {
      fontDir = argv[++i];
    } else if (arg == "--out") {
      outDir = argv[++i];
    } else if (arg == "--check") {
      checkDir = argv[++i];
    } else if (arg == "--preview") {
      preview = argv[++i];
    } else {
      return usage();
    }
  }
  if (outDir.empty() == checkDir.empty()) return usage();

  art::FontSet fonts;
  std::string error;
  if (!fonts.load(fontDir, &error)) {
    std::fprintf(stderr, "korvalite_art: %s\n", error.c_str());
    return 1;
  }
  std::vector<art::Picture> pictures = art::renderPictures(fonts);
  int failures = 0;
  for (const art::Picture& p : pictures) {
    std::vector<uint8_t> png = art::encodePng(p.image, art::RowFilters::kNone);
    if (!outDir.empty()) {
      std::string path = outDir + "/" + p.file;
      if (png.empty() || !art::writeFile(path, png)) {
        std::fprintf(stderr, "korvalite_art: cannot write %s\n", path.c_str());
        ++failures;
      } else {
        std::printf("%d %s %dx%d, %zu bytes\n", p.resourceId, path.c_str(),
                    cairo_image_surface_get_width(p.image), cairo_image_surface_get_height(p.image),
                    png.size());
      }
    } else {
      std::vector<uint8_t> committed;
      std::string path = checkDir + "/" + p.file;
      if (!art::readFile(path, &committed)) {
        std::printf("FAIL %s: missing\n", path.c_str());
        ++failures;
      } else if (committed != png) {
        std::printf("FAIL %s: differs from a fresh rendering (%zu bytes committed, %zu rendered)\n",
                    path.c_str(), committed.size(), png.size());
        ++failures;
      } else {
        std::printf("ok   %s (%zu bytes)\n", path.c_str(), png.size());
      }
    }
  }
  if (!preview.empty()) {
    cairo_surface_t* image = art::renderPreview(fonts, pictures);
    if (!art::writeFile(preview, art::encodePng(image, art::RowFilters::kAdaptive))) {
      std::fprintf(stderr, "korvalite_art: cannot write %s\n", preview.c_str());
      ++failures;
    }
    cairo_surface_destroy(image);
  }
  art::releasePictures(&pictures);
  return failures == 0 ? 0 : 1;
}
