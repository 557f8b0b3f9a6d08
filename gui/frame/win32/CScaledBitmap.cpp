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
  for (Part& p : parts)
    if (p.pixels) p.pixels->release();
  if (whole) whole->release();
}

int32_t CScaledBitmap::getMadeParts() const {
  return static_cast<int32_t>(
      std::count_if(parts.begin(), parts.end(), [](const Part& p) { return p.pixels; }));
}

void CScaledBitmap::makeAllParts() {
  for (int32_t k = 0; k < getPartCount(); ++k) part(k);
}

const CScaledBitmap::Part* CScaledBitmap::part(int32_t index) {
  if (index < 0 || index >= getPartCount()) return nullptr;
  Part& p = parts[static_cast<size_t>(index)];
  if (!p.tried) {
    p = makePart(index);
    p.tried = true;
  }
  return p.pixels ? &p : nullptr;
}

CScaledBitmap::Part CScaledBitmap::makePart(int32_t index) const {
  const int32_t firstFrame = index * framesPerPart;
  const int32_t frames = std::min(framesPerPart, source.frameCount - firstFrame);
  Part made;
  if (scale <= 1.0f) {
    // The face's own picture, decoded once for all its parts.
    auto* self = const_cast<CScaledBitmap*>(this);
    if (!whole) self->whole = new (std::nothrow) CBitmap(CResourceRef(source.resource));
    if (whole && whole->getWidth() == source.width && whole->getHeight() == source.height)
      made.pixels = reduce(*whole, Layout{source.width, frameHeight, false, firstFrame}, frames);
    if (made.pixels) made.pixels->setOpaque(whole->isOpaque());
    return made;
  }
  // A 2x part holds its frames side by side, so that each row's neighbours in the next frames
  // are within the compressor's reach.
  auto* doubled = new (std::nothrow) CBitmap(CResourceRef(source.firstDoublePart + index));
  if (!doubled) return made;
  // A part that is not what the face's picture promises at twice the size is not shown.
  if (doubled->getWidth() != 2 * source.width * frames || doubled->getHeight() != 2 * frameHeight) {
    doubled->release();
    return made;
  }
  if (deviceWidth == 2 * source.width && deviceFrameHeight == 2 * frameHeight) {
    made.pixels = doubled;
    made.sideBySide = true;
    return made;
  }
  made.pixels = reduce(*doubled, Layout{2 * source.width, 2 * frameHeight, true, 0}, frames);
  if (made.pixels) made.pixels->setOpaque(doubled->isOpaque());
  doubled->release();
  return made;
}

// Each frame on its own, so no frame's edge takes colour from its neighbour in the strip. The
// frames (a single picture's two halves of rows) are shared among the machine's cores: reducing
// is most of what a first paint at 125 or 150 % costs.
CBitmap* CScaledBitmap::reduce(const CBitmap& from, const Layout& layout, int32_t frames) const {
  const uint8_t* in = from.getPixels();
  if (!in) return nullptr;
  CBitmap* out = CBitmap::createPixels(deviceWidth, deviceFrameHeight * frames);
  if (!out) return nullptr;
  const int32_t inStride = from.getWidth() * 4;
  const int32_t outStride = deviceWidth * 4;
  struct Job {
    int32_t frame, rowBegin, rowEnd;
  };
  std::vector<Job> jobs;
  if (frames == 1) {
    jobs = {{0, 0, deviceFrameHeight / 2}, {0, deviceFrameHeight / 2, deviceFrameHeight}};
  } else {
    for (int32_t f = 0; f < frames; ++f) jobs.push_back({f, 0, deviceFrameHeight});
  }
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  auto work = [&] {
    for (size_t k; (k = next++) < jobs.size();) {
      const Job& job = jobs[k];
      const uint8_t* frameIn = layout.sideBySide ? in + static_cast<size_t>(job.frame) * layout.width * 4
                                                 : in + static_cast<size_t>(layout.firstFrame + job.frame) *
                                                            layout.height * static_cast<size_t>(inStride);
      uint8_t* frameOut =
          out->getWritablePixels() + static_cast<size_t>(job.frame * deviceFrameHeight) * outStride;
      if (layout.width == deviceWidth && layout.height == deviceFrameHeight) {
        for (int32_t row = job.rowBegin; row < job.rowEnd; ++row)
          std::memcpy(frameOut + static_cast<size_t>(row) * outStride,
                      frameIn + static_cast<size_t>(row) * inStride, static_cast<size_t>(outStride));
        continue;
      }
      // Mitchell's cubic on premultiplied pixels: sharp without ringing round the knobs' edges.
      // The rows asked for are those under the same share of the input's height.
      const float h = static_cast<float>(deviceFrameHeight);
      if (!stbir_resize_region(frameIn, layout.width, layout.height, inStride,
                               frameOut + static_cast<size_t>(job.rowBegin) * outStride, deviceWidth,
                               job.rowEnd - job.rowBegin, outStride, STBIR_TYPE_UINT8, 4, 3,
                               STBIR_FLAG_ALPHA_PREMULTIPLIED, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP,
                               STBIR_FILTER_MITCHELL, STBIR_FILTER_MITCHELL, STBIR_COLORSPACE_LINEAR, nullptr,
                               0.0f, static_cast<float>(job.rowBegin) / h, 1.0f,
                               static_cast<float>(job.rowEnd) / h))
        failed = true;
    }
  };
  const unsigned helpers = std::min(std::max(std::thread::hardware_concurrency(), 1u), 4u) - 1;
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < helpers && t + 1 < jobs.size(); ++t) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  if (failed) {
    out->release();
    return nullptr;
  }
  return out;
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
  const Part* made = part(frame / framesPerPart);
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
