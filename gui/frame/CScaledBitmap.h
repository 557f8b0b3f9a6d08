// A picture shown at a size other than 100 %. The views keep the face's own coordinates; this
// bitmap places every part of itself on whole device pixels, from pixels made for the size:
// at 200 % the pictures rendered at twice the size, between 100 and 200 % those reduced with a
// high-quality filter, below 100 % the face's own pictures reduced. Neither is ever stretched
// at draw time.
//
// A film strip is held in parts of a few frames. Each part is decoded when a frame in it is first
// drawn, and each frame reduced then, so an editor opened at any size decodes and reduces only
// what it shows, and the rest as the controls move. GUI thread only (Windows).
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

 private:
  struct Part {
    CBitmap* pixels = nullptr;  // at the size: the 2x part itself, or its frames reduced into it
    CBitmap* from = nullptr;    // what the frames not made yet are reduced from (not owned below 100 %)
    std::vector<bool> made;     // which of the part's frames are made
    bool sideBySide = false;    // frames left to right (the 2x pictures' own), else top to bottom
    bool tried = false;         // a part that failed is not tried again
  };
  // Where a frame starts in a picture of frames of width x height, laid out either way.
  struct Layout {
    int32_t width;
    int32_t height;
    bool sideBySide;
    int32_t firstFrame;  // the frame at the picture's origin (a part of the 1x strip starts deeper)
  };
  // The part holding `frame` at this size, that frame made (on first use); null when it cannot be.
  const Part* partWith(int32_t frame);
  Part makePart(int32_t index);
  // Frame `frame` of `from` brought to the size into frame `into` of `out`; a single picture's
  // rows are shared among the machine's cores.
  bool reduceFrame(const CBitmap& from, const Layout& layout, int32_t frame, CBitmap& out,
                   int32_t into) const;
  Layout layoutOf(int32_t index) const;

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
