// A picture shown at a size other than 100 %. The views keep the face's own coordinates; this
// bitmap places every part of itself on whole device pixels, from pixels made for the size:
// at 200 % the pictures rendered at twice the size, between 100 and 200 % those reduced with a
// high-quality filter, below 100 % the face's own pictures reduced. Neither is ever stretched
// at draw time.
//
// A film strip is held in parts of a few frames. Each part is decoded (and reduced) when a
// frame in it is first drawn, so an editor opened at 200 % decodes only the frames it shows,
// and the rest as the controls move. GUI thread only (Windows).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/frame/CBitmap.h"

namespace VSTGUI {

class CScaledBitmap : public CBitmap {
 public:
  struct Source {
    int32_t resource = 0;  // the picture at 100 %
    int32_t width = 0;     // its size at 100 %, the whole strip
    int32_t height = 0;
    int32_t frameCount = 1;       // frames stacked top to bottom (1: a plain picture)
    int32_t firstDoublePart = 0;  // the 2x picture's part 0; part k is firstDoublePart + k
    int32_t framesPerDoublePart = 1;
  };

  // scale: device pixels per face pixel, above 0 and at most 2. Nothing is decoded yet; the
  // size the views see (getWidth, getHeight) is the face's.
  CScaledBitmap(const Source& source, float scale);
  ~CScaledBitmap() override;

  void draw(CDrawContext* context, const CArea& area, CPos sourceOffset = CPos()) override;
  void drawTransparent(CDrawContext* context, const CArea& area, CPos sourceOffset = CPos()) override;
  // Drawn whole: the editor blends no picture.
  void drawAlphaBlend(CDrawContext* context, const CArea& area, CPos sourceOffset, uint8_t alpha) override;

  float getScale() const { return scale; }
  // One frame's size in device pixels.
  int32_t getDeviceWidth() const { return deviceWidth; }
  int32_t getDeviceFrameHeight() const { return deviceFrameHeight; }
  // Parts made so far, of getPartCount.
  int32_t getMadeParts() const;
  int32_t getPartCount() const { return static_cast<int32_t>(parts.size()); }
  // Makes every part now (a test, or a size whose film strips should not wait for a turn).
  void makeAllParts();

 private:
  struct Part {
    CBitmap* pixels = nullptr;
    bool sideBySide = false;  // frames left to right (the 2x pictures' own), else top to bottom
    bool tried = false;       // a part that failed is not tried again
  };
  // Where a frame starts in a picture of frames of width x height, laid out either way.
  struct Layout {
    int32_t width;
    int32_t height;
    bool sideBySide;
    int32_t firstFrame;  // the frame at the picture's origin (a part of the 1x strip starts deeper)
  };
  // Part `index` at this size, made on first use; null when it cannot be.
  const Part* part(int32_t index);
  Part makePart(int32_t index) const;
  // Each frame of `from` brought to the size, the frames top to bottom.
  CBitmap* reduce(const CBitmap& from, const Layout& layout, int32_t frames) const;

  Source source;
  float scale;
  int32_t frameHeight;  // at 100 %
  int32_t framesPerPart;
  int32_t deviceWidth;
  int32_t deviceFrameHeight;
  std::vector<Part> parts;
  // Below 100 %: the face's own picture, decoded once, reduced part by part.
  CBitmap* whole = nullptr;
};

}  // namespace VSTGUI
