// korvalite_art: renders the editor's pictures.
//
//   korvalite_art [--fonts DIR] --out DIR [--preview FILE] [--preview-2x FILE]
//       write the PNGs at 1x and the 2x parts under DIR/2x with their resource script
//       (and previews of the editor at 1x and 2x)
//   korvalite_art [--fonts DIR] --check DIR
//       compare every file with the one in DIR
//
// The pictures are fully determined by this program and the Liberation font files, so the
// committed resources can be checked against a fresh rendering byte for byte.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tools/art/ArtSet.h"
#include "tools/art/FontSet.h"
#include "tools/art/PngWriter.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: korvalite_art [--fonts DIR] --out DIR [--preview FILE] [--preview-2x FILE]\n"
               "       korvalite_art [--fonts DIR] --check DIR\n");
  return 2;
}

std::vector<uint8_t> bytesOf(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Writes `bytes` to DIR/path (--out) or compares them with it (--check); false on a failure.
bool outputFile(const std::string& outDir, const std::string& checkDir, const std::string& path,
                const std::vector<uint8_t>& bytes, const std::string& what) {
  if (!outDir.empty()) {
    std::string file = outDir + "/" + path;
    if (bytes.empty() || !art::writeFile(file, bytes)) {
      std::fprintf(stderr, "korvalite_art: cannot write %s\n", file.c_str());
      return false;
    }
    std::printf("%s %s, %zu bytes\n", what.c_str(), file.c_str(), bytes.size());
    return true;
  }
  std::vector<uint8_t> committed;
  std::string file = checkDir + "/" + path;
  if (!art::readFile(file, &committed)) {
    std::printf("FAIL %s: missing\n", file.c_str());
    return false;
  }
  if (committed != bytes) {
    std::printf("FAIL %s: differs from a fresh rendering (%zu bytes committed, %zu rendered)\n", file.c_str(),
                committed.size(), bytes.size());
    return false;
  }
  std::printf("ok   %s (%zu bytes)\n", file.c_str(), bytes.size());
  return true;
}

bool writePreview(const art::FontSet& fonts, const std::vector<art::Picture>& pictures,
                  const std::string& path) {
  cairo_surface_t* image = art::renderPreview(fonts, pictures);
  bool ok = art::writeFile(path, art::encodePng(image, art::RowFilters::kAdaptive));
  cairo_surface_destroy(image);
  if (!ok) std::fprintf(stderr, "korvalite_art: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string fontDir = "/usr/share/fonts/truetype/liberation", outDir, checkDir, preview, preview2x;
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
    } else if (arg == "--preview-2x") {
      preview2x = argv[++i];
    } else {
      return usage();
    }
  }
  if (outDir.empty() == checkDir.empty()) return usage();

  // The two scales render at once, each with its own fonts so that no FreeType state is
  // shared between the threads; then every core encodes files. Each result depends only on
  // its own inputs, so the bytes are the same as one thread's (the check depends on it).
  art::FontSet fonts, fonts2x;
  std::string error;
  if (!fonts.load(fontDir, &error) || !fonts2x.load(fontDir, &error)) {
    std::fprintf(stderr, "korvalite_art: %s\n", error.c_str());
    return 1;
  }
  std::vector<art::Picture> pictures2x;
  std::thread render2x([&] { pictures2x = art::renderPictures(fonts2x, 2); });
  std::vector<art::Picture> pictures = art::renderPictures(fonts, 1);
  render2x.join();

  std::vector<const art::PictureFile*> files;
  for (const std::vector<art::Picture>* set : {&pictures, &pictures2x}) {
    for (const art::Picture& p : *set) {
      for (const art::PictureFile& f : p.files) files.push_back(&f);
    }
  }
  std::vector<std::vector<uint8_t>> pngs(files.size());
  std::atomic<size_t> next{0};
  auto encode = [&] {
    for (size_t i; (i = next++) < files.size();) {
      cairo_surface_t* stored = art::storedImage(*files[i]);
      pngs[i] = art::encodePng(stored, art::RowFilters::kNone);
      cairo_surface_destroy(stored);
    }
  };
  std::vector<std::thread> encoders(std::clamp(std::thread::hardware_concurrency(), 1u, 8u) - 1);
  for (std::thread& t : encoders) t = std::thread(encode);
  encode();
  for (std::thread& t : encoders) t.join();

  int failures = 0;
  std::error_code ignored;
  if (!outDir.empty()) std::filesystem::create_directories(outDir + "/2x", ignored);
  for (size_t i = 0; i < files.size(); ++i) {
    const art::PictureFile& f = *files[i];
    const int across = f.sideBySide ? f.frameCount : 1;
    const std::string what = std::to_string(f.resourceId) + " " +
                             std::to_string(cairo_image_surface_get_width(f.image) * across) + "x" +
                             std::to_string(cairo_image_surface_get_height(f.image) / across);
    if (!outputFile(outDir, checkDir, f.path, pngs[i], what)) ++failures;
  }
  if (!outputFile(outDir, checkDir, art::kPartsScript, bytesOf(art::partsScript(pictures2x)), "script")) {
    ++failures;
  }
  if (!checkDir.empty()) {
    // A part left over from an earlier cut of the strips would only mislead.
    std::set<std::string> rendered;
    for (const art::Picture& p : pictures2x) {
      for (const art::PictureFile& f : p.files) rendered.insert(f.path);
    }
    for (const auto& entry : std::filesystem::directory_iterator(checkDir + "/2x", ignored)) {
      std::string path = "2x/" + entry.path().filename().string();
      if (rendered.count(path) == 0) {
        std::printf("FAIL %s/%s: not a picture this tool renders\n", checkDir.c_str(), path.c_str());
        ++failures;
      }
    }
  }
  if (!preview.empty() && !writePreview(fonts, pictures, preview)) ++failures;
  if (!preview2x.empty() && !writePreview(fonts, pictures2x, preview2x)) ++failures;
  art::releasePictures(&pictures);
  art::releasePictures(&pictures2x);
  return failures == 0 ? 0 : 1;
}
