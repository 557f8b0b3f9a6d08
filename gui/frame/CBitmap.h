// An image from the module's resources (normally a PNG decoded into premultiplied 32-bit
// pixels) or an off-screen pixel buffer, drawn whole or in part through GDI+.
// GUI thread only.
#pragma once

#include <cstdint>

#include "gui/frame/CArea.h"
#include "gui/frame/CBaseObject.h"
#include "gui/frame/CPos.h"
#include "gui/frame/CResourceRef.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;

class CBitmap : public CBaseObject {
 public:
  // Loads the resource; a failed load leaves a 0 x 0 bitmap that draws nothing.
  explicit CBitmap(const CResourceRef& resource);
  // An off-screen ARGB bitmap, fully transparent; frame is not used.
  CBitmap(CFrame* frame, int32_t width, int32_t height);
  ~CBitmap() override;

  virtual void draw(CDrawContext* context, const CArea& area, CPos sourceOffset = CPos());
  virtual void drawTransparent(CDrawContext* context, const CArea& area, CPos sourceOffset = CPos());
  virtual void drawAlphaBlend(CDrawContext* context, const CArea& area, CPos sourceOffset, uint8_t alpha);
  virtual void dispose();
  virtual bool loadFromResource(const CResourceRef& resource);
  // Unused second entry: only disposes.
  virtual bool loadFromPath(const void* platformPath);

  int32_t getWidth() const { return width; }
  int32_t getHeight() const { return height; }
  bool isLoaded() const { return width > 0 && height > 0; }
  // The GDI+ bitmap (GpBitmap* on Windows), made over the decoded pixels on first use.
  void* getGdiplusBitmap();
  // Premultiplied BGRA pixels, top row first, stride width x 4 (PNG path only).
  const uint8_t* getPixels() const { return pixels; }
  // A picture of premultiplied BGRA pixels, all zero, for the caller to write through
  // getWritablePixels before the first draw; null when the memory cannot be had.
  static CBitmap* createPixels(int32_t width, int32_t height);
  uint8_t* getWritablePixels() { return pixels; }
  // Every pixel fully opaque (a PNG without alpha, or pixels made from one): such a picture can
  // be copied row by row where GDI+ would blend it.
  bool isOpaque() const { return opaque; }
  void setOpaque(bool value) { opaque = value; }
  const CResourceRef& getResourceRef() const { return resourceRef; }

 protected:
  struct DeferredLoad {};
  // An opaque picture's w x h pixels from (sourceX, sourceY) into an off-screen context's own
  // pixels at device pixel (left, top), inside its clip: copied by rows where GDI+ would blend
  // each pixel (under Wine most of what a first paint costs). False when the context has no
  // pixels of its own.
  static bool copyOpaqueRows(CDrawContext* context, const CBitmap& from, int32_t left, int32_t top,
                             int32_t sourceX, int32_t sourceY, int32_t w, int32_t h);
  // For pictures that load themselves when first drawn: the size is known, nothing is decoded.
  CBitmap(const CResourceRef& resource, int32_t width, int32_t height, DeferredLoad);

 private:
  bool loadPng(const uint8_t* data, uint32_t size);
  // A DIB section of width x height premultiplied pixels, zeroed; false without memory.
  bool allocatePixels(int32_t w, int32_t h);

  CResourceRef resourceRef;
  int32_t width = 0;
  int32_t height = 0;
  void* dib = nullptr;
  void* gdiplusBitmap = nullptr;
  uint8_t* pixels = nullptr;
  bool opaque = false;
};

}  // namespace VSTGUI
