// The GDI+ side of CFontDesc: the font is made on first use.
#include <cstdlib>

#include "gui/frame/CFontDesc.h"
#include "gui/frame/LiveObjectCounts.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

namespace {

// A font of the named family (the generic sans-serif family for a null name), or null.
Gdiplus::GpFont* createFontOf(const wchar_t* familyName, Gdiplus::REAL emSize, INT gdiStyle) {
  Gdiplus::GpFontFamily* family = nullptr;
  const Gdiplus::GpStatus found = familyName ? gp::GdipCreateFontFamilyFromName(familyName, nullptr, &family)
                                             : gp::GdipGetGenericFontFamilySansSerif(&family);
  if (found != Gdiplus::Ok || !family) return nullptr;
  Gdiplus::GpFont* font = nullptr;
  if (gp::GdipCreateFont(family, emSize, gdiStyle, Gdiplus::UnitPixel, &font) != Gdiplus::Ok) font = nullptr;
  gp::GdipDeleteFontFamily(family);
  return font;
}

}  // namespace

void* CFontDesc::getPlatformFont() {
  if (platformFont) return platformFont;
  wchar_t face[200] = {};
  if (name) {
    const size_t converted = std::mbstowcs(face, name, 199);
    if (converted == static_cast<size_t>(-1)) face[0] = 0;
    face[199] = 0;
  }
  // One GDI+ style only, in this order of precedence.
  INT gdiStyle = Gdiplus::FontStyleRegular;
  if (style & kFontUnderline)
    gdiStyle = Gdiplus::FontStyleUnderline;
  else if (style & kFontItalic)
    gdiStyle = Gdiplus::FontStyleItalic;
  else if (style & kFontBold)
    gdiStyle = Gdiplus::FontStyleBold;

  const auto emSize = static_cast<Gdiplus::REAL>(size);
  // The named face, else the generic sans-serif family. Where the generic family itself is
  // not installed (Wine prefixes map only Arial), Arial is the last resort.
  Gdiplus::GpFont* font = createFontOf(face, emSize, gdiStyle);
  if (!font) font = createFontOf(nullptr, emSize, gdiStyle);
  if (!font) font = createFontOf(L"Arial", emSize, gdiStyle);
  platformFont = font;
  if (font) countLive(kLivePlatformFonts, 1);
  return platformFont;
}

void CFontDesc::freePlatformFont() {
  if (platformFont) {
    gp::GdipDeleteFont(static_cast<Gdiplus::GpFont*>(platformFont));
    countLive(kLivePlatformFonts, -1);
  }
  platformFont = nullptr;
}

}  // namespace VSTGUI
