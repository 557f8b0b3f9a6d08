#include "gui/frame/CScaledBitmap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/win32/GdiPlusFlat.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

namespace VSTGUI {

CScaledBitmap::CScaledBitmap(const Source& from, float s)
    : CBitmap(CResourceRef(from.resource), from.width, from.height, DeferredLoad()),
      source(from),
      scale(s > 0.0f && s <= 2.0f ? s : 1.0f) {
  source.frameCount = std::max(1, source.frameCount);
  frameHeight = std::max(1, source.height / source.frameCount);
  // Above 100 % the parts are the 2x pictures' own; below, as many frames go in a part.
  framesPerPart = std::max(1, std::min(source.framesPerDoublePart, source.frameCount));
  deviceWidth = CDrawContext::deviceEdge(source.width, scale);
  deviceFrameHeight = CDrawContext::deviceEdge(frameHeight, scale);
  parts.resize(static_cast<size_t>((source.frameCount + framesPerPart - 1) / framesPerPart));
}

CScaledBitmap::~CScaledBitmap() {
  for (Part& p : parts) {
    if (p.pixels) p.pixels->release();
    if (p.from && p.from != whole) p.from->release();
  }
  if (whole) whole->release();
}

const CScaledBitmap::Part* CScaledBitmap::partWith(int32_t frame) {
  const int32_t index = frame / framesPerPart;
  if (frame < 0 || index >= static_cast<int32_t>(parts.size())) return nullptr;
  Part& p = parts[static_cast<size_t>(index)];
  if (!p.tried) {
    p = makePart(index);
    p.tried = true;
  }
  if (!p.pixels) return nullptr;
  const int32_t inPart = frame - index * framesPerPart;
  if (!p.made[static_cast<size_t>(inPart)]) {
    if (!p.from || !reduceFrame(*p.from, layoutOf(index), inPart, *p.pixels, inPart)) return nullptr;
    p.made[static_cast<size_t>(inPart)] = true;
    // Every frame made: what they came from is no longer needed.
    if (std::find(p.made.begin(), p.made.end(), false) == p.made.end()) {
      if (p.from != whole) p.from->release();
      p.from = nullptr;
    }
  }
  return &p;
}

// Where part `index`'s frames are in what they are reduced from.
CScaledBitmap::Layout CScaledBitmap::layoutOf(int32_t index) const {
  if (scale <= 1.0f) return Layout{source.width, frameHeight, false, index * framesPerPart};
  return Layout{2 * source.width, 2 * frameHeight, true, 0};
}

CScaledBitmap::Part CScaledBitmap::makePart(int32_t index) {
  const int32_t frames = std::min(framesPerPart, source.frameCount - index * framesPerPart);
  Part made;
  CBitmap* from = nullptr;
  if (scale <= 1.0f) {
    // The face's own picture, decoded once for all its parts.
    if (!whole) whole = new (std::nothrow) CBitmap(CResourceRef(source.resource));
    if (!whole || whole->getWidth() != source.width || whole->getHeight() != source.height) return made;
    from = whole;
  } else {
    // A 2x part holds its frames side by side, so that each row's neighbours in the next frames
    // are within the compressor's reach.
    from = new (std::nothrow) CBitmap(CResourceRef(source.firstDoublePart + index));
    if (!from) return made;
    // A part that is not what the face's picture promises at twice the size is not shown.
    if (from->getWidth() != 2 * source.width * frames || from->getHeight() != 2 * frameHeight) {
      from->release();
      return made;
    }
    if (deviceWidth == 2 * source.width && deviceFrameHeight == 2 * frameHeight) {
      made.pixels = from;
      made.sideBySide = true;
      made.made.assign(static_cast<size_t>(frames), true);
      return made;
    }
  }
  made.pixels = CBitmap::createPixels(deviceWidth, deviceFrameHeight * frames);
  if (!made.pixels) {
    if (from != whole) from->release();
    return made;
  }
  made.pixels->setOpaque(from->isOpaque());
  made.from = from;
  made.made.assign(static_cast<size_t>(frames), false);
  return made;
}

// Each frame on its own, so no frame's edge takes colour from its neighbour in the strip.
bool CScaledBitmap::reduceFrame(const CBitmap& from, const Layout& layout, int32_t frame, CBitmap& out,
                                int32_t into) const {
  const uint8_t* in = from.getPixels();
  if (!in || !out.getWritablePixels()) return false;
  const int32_t inStride = from.getWidth() * 4;
  const int32_t outStride = deviceWidth * 4;
  const uint8_t* frameIn = layout.sideBySide ? in + static_cast<size_t>(frame) * layout.width * 4
                                             : in + static_cast<size_t>(layout.firstFrame + frame) *
                                                        layout.height * static_cast<size_t>(inStride);
  uint8_t* frameOut = out.getWritablePixels() + static_cast<size_t>(into * deviceFrameHeight) * outStride;
  if (layout.width == deviceWidth && layout.height == deviceFrameHeight) {
    for (int32_t row = 0; row < deviceFrameHeight; ++row)
      std::memcpy(frameOut + static_cast<size_t>(row) * outStride,
                  frameIn + static_cast<size_t>(row) * inStride, static_cast<size_t>(outStride));
    return true;
  }
  // Mitchell's cubic on premultiplied pixels: sharp without ringing round the knobs' edges. A
  // large picture (the background: most of what a first paint at 125 or 150 % costs) is made in
  // bands of rows, one a core, each from the input rows under the same share of the height.
  const int32_t bands =
      deviceWidth * deviceFrameHeight < 256 * 1024
          ? 1
          : static_cast<int32_t>(std::min(std::max(std::thread::hardware_concurrency(), 1u), 4u));
  std::atomic<bool> failed{false};
  auto band = [&](int32_t k) {
    const int32_t first = deviceFrameHeight * k / bands, end = deviceFrameHeight * (k + 1) / bands;
    const float h = static_cast<float>(deviceFrameHeight);
    if (!stbir_resize_region(frameIn, layout.width, layout.height, inStride,
                             frameOut + static_cast<size_t>(first) * outStride, deviceWidth, end - first,
                             outStride, STBIR_TYPE_UINT8, 4, 3, STBIR_FLAG_ALPHA_PREMULTIPLIED,
                             STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_MITCHELL, STBIR_FILTER_MITCHELL,
                             STBIR_COLORSPACE_LINEAR, nullptr, 0.0f, static_cast<float>(first) / h, 1.0f,
                             static_cast<float>(end) / h))
      failed = true;
  };
  std::vector<std::thread> helpers;
  for (int32_t k = 1; k < bands; ++k) helpers.emplace_back(band, k);
  band(0);
  for (std::thread& t : helpers) t.join();
  return !failed;
}

void CScaledBitmap::draw(CDrawContext* context, const CArea& area, CPos sourceOffset) {
  drawAlphaBlend(context, area, sourceOffset, 255);
}

void CScaledBitmap::drawTransparent(CDrawContext* context, const CArea& area, CPos sourceOffset) {
  drawAlphaBlend(context, area, sourceOffset, 255);
}

// The source rectangle in face pixels becomes one frame's rows in its part, in device pixels;
// the destination's corner is rounded as clips are, and the copy is 1:1.
void CScaledBitmap::drawAlphaBlend(CDrawContext* context, const CArea& area, CPos sourceOffset, uint8_t) {
  if (!context || !context->getGraphics() || area.isEmpty()) return;
  if (sourceOffset.x < 0 || sourceOffset.y < 0 || sourceOffset.y >= source.height) return;
  const int32_t frame = sourceOffset.y / frameHeight;
  const int32_t withinFrame = sourceOffset.y - frame * frameHeight;
  const Part* made = partWith(frame);
  auto* image = made ? static_cast<Gdiplus::GpImage*>(made->pixels->getGdiplusBitmap()) : nullptr;
  if (!image) return;
  const float s = context->getScale();
  const CPos& offset = context->getOffset();
  const int32_t left = CDrawContext::deviceEdge(area.left + offset.x, s);
  const int32_t top = CDrawContext::deviceEdge(area.top + offset.y, s);
  const int32_t inPart = frame % framesPerPart;
  const int32_t frameLeft = made->sideBySide ? inPart * deviceWidth : 0;
  const int32_t frameTop = made->sideBySide ? 0 : inPart * deviceFrameHeight;
  const int32_t sourceX = frameLeft + CDrawContext::deviceEdge(sourceOffset.x, s);
  const int32_t sourceY = frameTop + CDrawContext::deviceEdge(withinFrame, s);
  const int32_t w =
      std::min(CDrawContext::deviceEdge(area.right + offset.x, s) - left, frameLeft + deviceWidth - sourceX);
  const int32_t h = std::min(CDrawContext::deviceEdge(area.bottom + offset.y, s) - top,
                             frameTop + deviceFrameHeight - sourceY);
  if (w <= 0 || h <= 0) return;
  if (made->pixels->isOpaque() && copyOpaqueRows(context, *made->pixels, left, top, sourceX, sourceY, w, h))
    return;
  context->beginDevicePixels();
  gp::GdipDrawImageRectRectI(static_cast<Gdiplus::GpGraphics*>(context->getGraphics()), image, left, top, w,
                             h, sourceX, sourceY, w, h, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  context->endDevicePixels();
}

}  // namespace VSTGUI
