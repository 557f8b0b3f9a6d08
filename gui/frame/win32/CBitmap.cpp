// Bitmaps on Windows: PNG resources decoded with libpng into premultiplied BGRA rows held in
// a DIB section, with a GDI+ bitmap made over those pixels; GDI+'s own decoders for "DATA"
// and bitmap resources. GUI thread only.
#include "gui/frame/CBitmap.h"
#include "gui/frame/LiveObjectCounts.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "gui/frame/CDrawContext.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/GuiModule.h"
#include "gui/frame/win32/GdiPlusFlat.h"
#include "gui/frame/win32/ResourceStream.h"

namespace VSTGUI {

namespace {

// The largest image we accept: far above the editor's 114 x 11397 film strips, and small
// enough that width x height x 4 stays well inside 32 bits.
constexpr uint32_t kMaxPixels = 64u * 1024u * 1024u;

struct PngSource {
  const uint8_t* data;
  uint32_t position;
  uint32_t size;
};

// A read past the end of the resource is a corrupt image: fail through libpng's error
// mechanism rather than copy bytes that are not ours.
void readFromResource(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (!source || count > source->size - source->position) png_error(png, "read past the end of the resource");
  std::memcpy(out, source->data + source->position, count);
  source->position += static_cast<uint32_t>(count);
}

// One row of RGB bytes, at the start of its own 4-byte-per-pixel row, made premultiplied BGRA
// in place, from the right so no pixel is written over a source byte not yet read. The colour
// bytes go through tables of (c * 255) >> 8, the premultiplication at alpha 255 (255 becomes
// 254), each already at its place in the little-endian word B, G, R, A.
void widenOpaqueRow(uint8_t* row, int32_t width) {
  struct Tables {
    uint32_t red[256], green[256], blue[256];
  };
  static const Tables t = [] {
    Tables made;
    for (uint32_t c = 0; c < 256; ++c) {
      const uint32_t premultiplied = (c * 255u) >> 8;
      made.red[c] = 0xFF000000u | premultiplied << 16;
      made.green[c] = premultiplied << 8;
      made.blue[c] = premultiplied;
    }
    return made;
  }();
  for (int32_t x = width - 1; x >= 0; --x) {
    const uint8_t* rgb = row + static_cast<size_t>(x) * 3;
    const uint32_t bgra = t.red[rgb[0]] | t.green[rgb[1]] | t.blue[rgb[2]];
    std::memcpy(row + static_cast<size_t>(x) * 4, &bgra, sizeof bgra);
  }
}

LPCSTR resourceName(const CResourceRef& ref) {
  return ref.isNumeric() ? MAKEINTRESOURCEA(ref.id) : ref.name;
}

}  // namespace

CBitmap::CBitmap(const CResourceRef& resource) : resourceRef(resource) {
  countLive(kLiveBitmaps, 1);
  GDIPlusGlobals::acquireGdiPlus();
  loadFromResource(resource);
}

CBitmap::CBitmap(CFrame*, int32_t w, int32_t h) {
  countLive(kLiveBitmaps, 1);
  GDIPlusGlobals::acquireGdiPlus();
  Gdiplus::GpBitmap* made = nullptr;
  if (w > 0 && h > 0 &&
      gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &made) == Gdiplus::Ok && made) {
    gdiplusBitmap = made;
    countLive(kLiveGdiplusObjects, 1);
    width = w;
    height = h;
  }
}

CBitmap::CBitmap(const CResourceRef& resource, int32_t w, int32_t h, DeferredLoad)
    : resourceRef(resource), width(w), height(h) {
  countLive(kLiveBitmaps, 1);
  GDIPlusGlobals::acquireGdiPlus();
}

CBitmap* CBitmap::createPixels(int32_t w, int32_t h) {
  auto* made = new (std::nothrow) CBitmap(CResourceRef(), 0, 0, DeferredLoad());
  if (made && !made->allocatePixels(w, h)) {
    made->release();
    made = nullptr;
  }
  return made;
}

bool CBitmap::allocatePixels(int32_t w, int32_t h) {
  if (w <= 0 || h <= 0 || static_cast<uint32_t>(w) > kMaxPixels / static_cast<uint32_t>(h)) return false;
  BITMAPINFOHEADER header;
  std::memset(&header, 0, sizeof(header));
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = w;
  header.biHeight = h;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section =
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return false;
  }
  dib = section;
  pixels = static_cast<uint8_t*>(bits);
  width = w;
  height = h;
  return true;
}

CBitmap::~CBitmap() {
  countLive(kLiveBitmaps, -1);
  dispose();
  GDIPlusGlobals::releaseGdiPlus();
}

// An opaque picture into an off-screen context's own pixels: the rows inside the clip are
// copied, where GDI+ would blend each pixel (under Wine most of what a first paint costs).
bool CBitmap::copyOpaqueRows(CDrawContext* context, const CBitmap& from, int32_t left, int32_t top,
                             int32_t sourceX, int32_t sourceY, int32_t w, int32_t h) {
  CBitmap* target = context->getPixelTarget();
  uint8_t* to = target ? target->getWritablePixels() : nullptr;
  const uint8_t* in = from.getPixels();
  if (!to || !in) return false;
  CArea clip;
  context->getClipRect(clip);
  clip.offset(context->getOffset().x, context->getOffset().y);
  const float s = context->getScale();
  const int32_t x0 = std::max({left, CDrawContext::deviceEdge(clip.left, s), 0});
  const int32_t y0 = std::max({top, CDrawContext::deviceEdge(clip.top, s), 0});
  const int32_t x1 = std::min({left + w, CDrawContext::deviceEdge(clip.right, s), target->getWidth()});
  const int32_t y1 = std::min({top + h, CDrawContext::deviceEdge(clip.bottom, s), target->getHeight()});
  for (int32_t y = y0; y < y1; ++y) {
    std::memcpy(to + (static_cast<size_t>(y) * target->getWidth() + x0) * 4,
                in + (static_cast<size_t>(sourceY + y - top) * from.getWidth() + sourceX + x0 - left) * 4,
                static_cast<size_t>(x1 - x0) * 4);
  }
  return true;
}

void CBitmap::draw(CDrawContext* context, const CArea& area, CPos sourceOffset) {
  drawAlphaBlend(context, area, sourceOffset, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CArea& area, CPos sourceOffset) {
  draw(context, area, sourceOffset);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CArea& area, CPos sourceOffset, uint8_t alpha) {
  auto* image = static_cast<Gdiplus::GpImage*>(getGdiplusBitmap());
  if (!image || !context || !context->getGraphics()) return;
  auto* graphics = static_cast<Gdiplus::GpGraphics*>(context->getGraphics());
  Gdiplus::GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  const INT w = area.getWidth();
  const INT h = area.getHeight();
  const INT x = area.left + context->getOffset().x;
  const INT y = area.top + context->getOffset().y;
  if (alpha == 255 && opaque && context->getScale() == 1.0f && sourceOffset.x >= 0 && sourceOffset.y >= 0 &&
      copyOpaqueRows(context, *this, x, y, sourceOffset.x, sourceOffset.y,
                     std::min(w, width - sourceOffset.x), std::min(h, height - sourceOffset.y)))
    return;
  if (alpha == 255) {
    gp::GdipDrawImageRectRectI(graphics, image, x, y, w, h, sourceOffset.x, sourceOffset.y, w, h,
                               Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  } else if (attributes && w > 0 && h > 0) {
    // GDI+ applies the colour matrix only to a whole image: copy the source part into a
    // temporary bitmap first, then draw that with the alpha scale.
    Gdiplus::ColorMatrix matrix;
    std::memset(&matrix, 0, sizeof(matrix));
    matrix.m[0][0] = 1.0f;
    matrix.m[1][1] = 1.0f;
    matrix.m[2][2] = 1.0f;
    matrix.m[3][3] = static_cast<Gdiplus::REAL>(alpha) / 255.0f;
    gp::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
    Gdiplus::GpBitmap* temporary = nullptr;
    if (gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &temporary) == Gdiplus::Ok &&
        temporary) {
      Gdiplus::GpGraphics* temporaryGraphics = nullptr;
      if (gp::GdipGetImageGraphicsContext(temporary, &temporaryGraphics) == Gdiplus::Ok &&
          temporaryGraphics) {
        gp::GdipDrawImageRectRectI(temporaryGraphics, image, 0, 0, w, h, sourceOffset.x, sourceOffset.y, w, h,
                                   Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        gp::GdipDrawImageRectRectI(graphics, temporary, x, y, w, h, 0, 0, w, h, Gdiplus::UnitPixel,
                                   attributes, nullptr, nullptr);
        gp::GdipDeleteGraphics(temporaryGraphics);
      }
      gp::GdipDisposeImage(temporary);
    }
  }
  if (attributes) gp::GdipDisposeImageAttributes(attributes);
}

void CBitmap::dispose() {
  if (gdiplusBitmap) {
    gp::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(gdiplusBitmap));
    countLive(kLiveGdiplusObjects, -1);
  }
  gdiplusBitmap = nullptr;
  if (dib) DeleteObject(static_cast<HBITMAP>(dib));
  dib = nullptr;
  pixels = nullptr;
  opaque = false;
  width = 0;
  height = 0;
}

void* CBitmap::getGdiplusBitmap() {
  if (gdiplusBitmap) return gdiplusBitmap;
  if (!dib) return nullptr;
  Gdiplus::GpBitmap* made = nullptr;
  if (pixels) {
    if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, pixels, &made) !=
        Gdiplus::Ok)
      made = nullptr;
  } else if (gp::GdipCreateBitmapFromHBITMAP(static_cast<HBITMAP>(dib), nullptr, &made) != Gdiplus::Ok) {
    made = nullptr;
  }
  gdiplusBitmap = made;
  if (made) countLive(kLiveGdiplusObjects, 1);
  return gdiplusBitmap;
}

bool CBitmap::loadFromResource(const CResourceRef& resource) {
  dispose();
  resourceRef = resource;
  HMODULE module = static_cast<HMODULE>(getGuiModuleInstance());
  HRSRC found = FindResourceA(module, resourceName(resource), "PNG");
  if (found) {
    const DWORD bytes = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* locked = loaded ? LockResource(loaded) : nullptr;
    if (locked) return loadPng(static_cast<const uint8_t*>(locked), bytes);
  }

  Gdiplus::GpBitmap* made = nullptr;
  auto* stream = new ResourceStream;
  if (stream->open(module, resourceName(resource), "DATA")) {
    if (gp::GdipCreateBitmapFromStreamICM(stream, &made) != Gdiplus::Ok) made = nullptr;
  } else {
    wchar_t wideName[256] = {};
    const WCHAR* name = nullptr;
    if (resource.isNumeric()) {
      name = MAKEINTRESOURCEW(resource.id);
    } else if (resource.name && MultiByteToWideChar(CP_ACP, 0, resource.name, -1, wideName, 256) > 0) {
      name = wideName;
    }
    if (name && gp::GdipCreateBitmapFromResource(module, name, &made) != Gdiplus::Ok) made = nullptr;
  }
  stream->Release();
  if (!made) return false;
  gdiplusBitmap = made;
  countLive(kLiveGdiplusObjects, 1);
  UINT w = 0, h = 0;
  if (gp::GdipGetImageWidth(made, &w) != Gdiplus::Ok) w = 0;
  if (gp::GdipGetImageHeight(made, &h) != Gdiplus::Ok) h = 0;
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  return true;
}

bool CBitmap::loadFromPath(const void*) {
  dispose();
  return false;
}

// Decodes one PNG held in memory. Any libpng error (a corrupt or truncated image) ends in
// the setjmp branch below: the load then answers false and leaves a 0 x 0 bitmap, so no
// caller ever draws a half-decoded image.
bool CBitmap::loadPng(const uint8_t* data, uint32_t size) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngSource source{data, 0, size};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    dispose();
    return false;
  }
  png_set_read_fn(png, &source, readFromResource);
  // The zlib stream's own checksum is not computed (a sixth of the decoding work): every
  // compressed byte is still checked by the CRC of the chunk that carries it.
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &w, &h, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (w == 0 || h == 0 || w > kMaxPixels / h) png_error(png, "image too large");
  if (!allocatePixels(static_cast<int32_t>(w), static_cast<int32_t>(h)))
    png_error(png, "no memory for the pixels");

  if (bitDepth == 8 && colorType == PNG_COLOR_TYPE_RGB && !png_get_valid(png, info, PNG_INFO_tRNS) &&
      png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
    // Opaque 8-bit RGB, as all our pictures but the power switch are: each row is decoded into
    // its place and widened there, in one pass while it is in the cache, to what the general
    // path below gives (libpng's filler and byte-order passes, then a premultiplication pass
    // over the whole image): the same bytes for a third of the work.
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 3)
      png_error(png, "unexpected row layout");
    uint8_t* row = pixels;
    for (int32_t y = 0; y < height; ++y, row += static_cast<size_t>(width) * 4) {
      png_read_row(png, row, nullptr);
      widenOpaqueRow(row, width);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    opaque = true;
    return true;
  }

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
    png_set_expand(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  if (bitDepth == 16) {
    png_set_swap(png);
    png_set_strip_16(png);
  }
  if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA ||
      colorType == PNG_COLOR_TYPE_PALETTE)
    png_set_bgr(png);

  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_size_t stride = static_cast<png_size_t>(width) * 4;
  // Every row must come out as exactly four bytes per pixel, or the rows would overrun.
  if (png_get_rowbytes(png, info) != stride) png_error(png, "unexpected row layout");

  for (int pass = 0; pass < passes; ++pass) {
    png_bytep row = pixels;
    for (int32_t y = 0; y < height; ++y, row += stride) png_read_rows(png, &row, nullptr, 1);
  }
  png_read_end(png, nullptr);

  // Premultiply (GDI+ PARGB). Dividing by 256 rather than 255 is the established behaviour:
  // a 255 colour byte at alpha 255 becomes 254.
  uint8_t* p = pixels;
  for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i, p += 4) {
    const unsigned alpha = p[3];
    if (alpha == 0) {
      p[0] = p[1] = p[2] = 0;
    } else {
      p[0] = static_cast<uint8_t>((p[0] * alpha) >> 8);
      p[1] = static_cast<uint8_t>((p[1] * alpha) >> 8);
      p[2] = static_cast<uint8_t>((p[2] * alpha) >> 8);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace VSTGUI
