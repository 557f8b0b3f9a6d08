// The complete set of pictures the editor loads, in resource order, the files the resources
// hold them in, and the preview that shows them assembled the way the editor lays them out.
#ifndef KORVALITE_TOOLS_ART_ARTSET_H
#define KORVALITE_TOOLS_ART_ARTSET_H

#include <cairo.h>

#include <string>
#include <vector>

#include "tools/art/FontSet.h"

namespace art {

// One PNG of the resources: a 1x picture whole, or one part of a 2x picture. The editor at
// 200 % decodes only the parts holding the frames it shows, so a 2x film strip is cut into
// parts of KORVALITE_RES_2X_FRAMES_PER_PART frames, each under its own identifier.
struct PictureFile {
  int resourceId;
  std::string path;  // under resources/
  int firstFrame, frameCount;
  cairo_surface_t* image;  // the frames, stacked top to bottom
  // Stored with its frames side by side, left to right: a 2x frame is larger than the
  // compressor's window, so only the neighbouring frames' same rows, close together, let it
  // reuse what does not move (the 2x strips shrink about fivefold).
  bool sideBySide = false;
};

// The picture of f as it is written to its file.
cairo_surface_t* storedImage(const PictureFile& f);

struct Picture {
  int resourceId;  // the 1x picture's
  int frames;      // 1 for the background
  std::vector<PictureFile> files;
};

// Renders every picture at `scale` (1 or 2, see createPicture); the caller destroys the
// images with releasePictures.
std::vector<Picture> renderPictures(const FontSet& fonts, int scale);
void releasePictures(std::vector<Picture>* pictures);

// The resource script that names the 2x parts (resources/Pictures2x.rc), with literal
// identifiers because the resource compiler may not evaluate KORVALITE_RES_2X_PART.
extern const char* const kPartsScript;
std::string partsScript(const std::vector<Picture>& pictures2x);

// Control values shown by the preview, 0..1 as the editor's controls hold them.
struct PreviewSettings {
  double gain = 0.62, tone = 0.45, volume = 0.7, mix = 1.0;
  double meterLeft = 0.62, meterRight = 0.55;
  bool power = true;
};

// The editor as it appears with some settings, at the pictures' scale: the film strips'
// frames pasted at their controls' places and the menus' current texts drawn as the editor
// draws them.
cairo_surface_t* renderPreview(const FontSet& fonts, const std::vector<Picture>& pictures,
                               const PreviewSettings& settings = PreviewSettings());

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_ARTSET_H
