// PNG decoding into premultiplied BGRA, the failure paths, the GDI+ stream over resources,
// fonts and the GDI+ start-up count, with the real GDI+ under Wine.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/frame/CBitmap.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/GDIPlusGlobals.h"
#include "gui/frame/win32/GdiPlusFlat.h"
#include "gui/frame/win32/ResourceStream.h"
#include "tests/windows/guiframe/TestResources.h"

using namespace VSTGUI;

namespace {

// Keeps GDI+ up for one test so bitmaps can be made and inspected.
struct GdiPlusScope {
  GdiPlusScope() { GDIPlusGlobals::acquireGdiPlus(); }
  ~GdiPlusScope() { GDIPlusGlobals::releaseGdiPlus(); }
};

std::vector<int> bytesOf(const CBitmap& b) {
  const uint8_t* p = b.getPixels();
  if (!p) return {};
  return std::vector<int>(p, p + b.getWidth() * b.getHeight() * 4);
}

TEST(PngBitmap, RgbaDecodesToPremultipliedBgra) {
  GdiPlusScope gdi;
  auto* b = new CBitmap(CResourceRef(IDR_RGBA_2X1));
  ASSERT_EQ(b->getWidth(), 2);
  ASSERT_EQ(b->getHeight(), 1);
  // Transparent pixel becomes all zero; 255 at alpha 255 becomes 254 (division by 256).
  EXPECT_EQ(bytesOf(*b), (std::vector<int>{0, 0, 0, 0, 254, 254, 254, 255}));
  EXPECT_NE(b->getGdiplusBitmap(), nullptr);
  b->release();
}

TEST(PngBitmap, RgbWithoutTransparencyGetsOpaqueAlpha) {
  GdiPlusScope gdi;
  CBitmap* b = new CBitmap(CResourceRef(IDR_RGB_3X2));
  ASSERT_EQ(b->getWidth(), 3);
  ASSERT_EQ(b->getHeight(), 2);
  const std::vector<int> px = bytesOf(*b);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(px[i * 4 + 3], 255) << "pixel " << i;
  // Top row first, blue first: (200, 100, 50) premultiplied by 255/256.
  EXPECT_EQ(px[0], 49);
  EXPECT_EQ(px[1], 99);
  EXPECT_EQ(px[2], 199);
  EXPECT_EQ(px[12], 2);  // second row: blue 3
  b->release();
}

TEST(PngBitmap, PaletteWithTransparencyAndSixteenBitExpandToBgra) {
  GdiPlusScope gdi;
  CBitmap* pal = new CBitmap(CResourceRef(IDR_PALETTE_2X1));
  EXPECT_EQ(bytesOf(*pal), (std::vector<int>{254, 0, 0, 255, 0, 127, 0, 128}));
  pal->release();
  CBitmap* deep = new CBitmap(CResourceRef(IDR_RGBA_16));
  // The high bytes 0x12, 0x56, 0x9A survive, premultiplied at alpha 255.
  EXPECT_EQ(bytesOf(*deep), (std::vector<int>{0x9A * 255 >> 8, 0x56 * 255 >> 8, 0x12 * 255 >> 8, 255}));
  deep->release();
}

TEST(PngBitmap, TruncatedOrCorruptImageFailsAndLeavesEmptyBitmap) {
  GdiPlusScope gdi;
  for (int id : {IDR_TRUNCATED, IDR_CORRUPT}) {
    CBitmap* b = new CBitmap(CResourceRef(IDR_RGBA_2X1));
    ASSERT_EQ(b->getWidth(), 2);
    EXPECT_FALSE(b->loadFromResource(CResourceRef(id))) << id;
    EXPECT_EQ(b->getWidth(), 0);
    EXPECT_EQ(b->getHeight(), 0);
    EXPECT_EQ(b->getPixels(), nullptr);
    EXPECT_EQ(b->getGdiplusBitmap(), nullptr);
    b->release();
  }
}

TEST(PngBitmap, DataResourceGoesThroughGdiPlusDecoderAndMissingOneFails) {
  GdiPlusScope gdi;
  CBitmap* viaStream = new CBitmap(CResourceRef(IDR_DATA_RGB));
  EXPECT_EQ(viaStream->getPixels(), nullptr);  // not our PNG path
  EXPECT_NE(viaStream->getGdiplusBitmap(), nullptr);
  EXPECT_EQ(viaStream->getWidth(), 3);
  EXPECT_EQ(viaStream->getHeight(), 2);
  viaStream->release();
  CBitmap* missing = new CBitmap(CResourceRef(IDR_MISSING));
  EXPECT_EQ(missing->getWidth(), 0);
  EXPECT_FALSE(missing->loadFromResource(CResourceRef(IDR_MISSING)));
  missing->release();
}

TEST(ResourceStream, ReadAndSeekStayInsideTheData) {
  static const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  auto* s = new ResourceStream;
  s->setData(bytes, sizeof(bytes));
  uint8_t out[8] = {};
  ULONG read = 99;
  EXPECT_EQ(s->Read(out, 3, &read), S_OK);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(out[2], 3);
  // More than remains: nothing is read and the position stays.
  EXPECT_EQ(s->Read(out, 6, &read), S_FALSE);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(s->getPosition(), 3u);
  EXPECT_EQ(s->Read(out, 0xFFFFFFFFu, &read), S_FALSE);

  LARGE_INTEGER to;
  ULARGE_INTEGER at;
  to.QuadPart = 8;
  EXPECT_EQ(s->Seek(to, STREAM_SEEK_SET, &at), S_FALSE);  // exactly the size
  to.QuadPart = 7;
  EXPECT_EQ(s->Seek(to, STREAM_SEEK_SET, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 7u);
  to.QuadPart = -8;
  EXPECT_EQ(s->Seek(to, STREAM_SEEK_CUR, &at), S_FALSE);
  to.QuadPart = -2;
  EXPECT_EQ(s->Seek(to, STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 5u);
  EXPECT_EQ(s->Seek(to, STREAM_SEEK_END, &at), S_FALSE);
  EXPECT_EQ(s->Seek(to, 7, &at), STG_E_INVALIDFUNCTION);
  STATSTG stat;
  EXPECT_EQ(s->Stat(&stat, 0), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 8u);
  EXPECT_EQ(s->Revert(), S_OK);
  EXPECT_EQ(s->getPosition(), 0u);
  EXPECT_EQ(s->Write(bytes, 1, nullptr), E_NOTIMPL);

  IStream* asStream = nullptr;
  EXPECT_EQ(s->QueryInterface(IID_IStream, reinterpret_cast<void**>(&asStream)), S_OK);
  EXPECT_EQ(asStream->Release(), 1u);
  IUnknown* other = nullptr;
  EXPECT_EQ(s->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
  EXPECT_EQ(s->Release(), 0u);
}

TEST(Fonts, MissingFaceFallsBackToSansSerif) {
  GdiPlusScope gdi;
  CFontDesc* missing = new CFontDesc("NoSuchFaceAnywhere", 12);
  EXPECT_NE(missing->getPlatformFont(), nullptr);
  missing->setName("Arial");  // a new face drops the cached font
  EXPECT_NE(missing->getPlatformFont(), nullptr);
  missing->release();
  EXPECT_NE(fontDefault12->getPlatformFont(), nullptr);
}

TEST(GdiPlusStartup, TwoFramesAndABitmapStartAndStopOnce) {
  ASSERT_FALSE(GDIPlusGlobals::isStarted());
  const int32_t startups = GDIPlusGlobals::getStartupCount();
  const int32_t shutdowns = GDIPlusGlobals::getShutdownCount();
  auto* a = new CFrame(CArea(0, 0, 10, 10), nullptr, nullptr);
  auto* b = new CFrame(CArea(0, 0, 10, 10), nullptr, nullptr);
  auto* bitmap = new CBitmap(CResourceRef(IDR_RGBA_2X1));
  EXPECT_NE(fontText14->getPlatformFont(), nullptr);
  EXPECT_EQ(GDIPlusGlobals::getStartupCount(), startups + 1);
  delete a;
  bitmap->release();
  EXPECT_TRUE(GDIPlusGlobals::isStarted());
  delete b;
  EXPECT_FALSE(GDIPlusGlobals::isStarted());
  EXPECT_EQ(GDIPlusGlobals::getShutdownCount(), shutdowns + 1);
  // The predefined fonts were dropped before the shutdown and are made again on next use.
  GdiPlusScope gdi;
  EXPECT_NE(fontText14->getPlatformFont(), nullptr);
}

}  // namespace
