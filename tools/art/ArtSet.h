// The complete set of pictures the editor loads, in resource order, and the preview that
// shows them assembled the way the editor lays them out.
#ifndef KORVALITE_TOOLS_ART_ARTSET_H
#define KORVALITE_TOOLS_ART_ARTSET_H

#include <cairo.h>

#include <string>
#include <vector>

#include "tools/art/FontSet.h"

namespace art {

struct Picture {
  int resourceId;
  std::string file;  // name under resources/
  cairo_surface_t* image;
};

// Renders every picture; the caller destroys the images with releasePictures.
std::vector<Picture> renderPictures(const FontSet& fonts);
void releasePictures(std::vector<Picture>* pictures);

// Control values shown by the preview, 0..1 as the editor's controls hold them.
struct PreviewSettings {
  double gain = 0.62, tone = 0.45, volume = 0.7, mix = 1.0;
  double meterLeft = 0.62, meterRight = 0.55;
  bool power = true;
};

// The editor as it appears with some settings: the film strips' frames pasted at their
// controls' places and the menus' current texts drawn as the editor draws them.
cairo_surface_t* renderPreview(const FontSet& fonts, const std::vector<Picture>& pictures,
                               const PreviewSettings& settings = PreviewSettings());

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_ARTSET_H
