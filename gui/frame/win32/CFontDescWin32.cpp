// The GDI+ side of CFontDesc: the font is made on first use.
#include <cstdlib>

#include "gui/frame/CFontDesc.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

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

  Gdiplus::GpFontFamily* family = nullptr;
  bool generic = false;
  if (gp::GdipCreateFontFamilyFromName(face, nullptr, &family) != Gdiplus::Ok || !family) {
    family = nullptr;
    if (gp::GdipGetGenericFontFamilySansSerif(&family) != Gdiplus::Ok) family = nullptr;
    generic = true;
  }
  if (!family) return nullptr;
  Gdiplus::GpFont* font = nullptr;
  if (gp::GdipCreateFont(family, static_cast<Gdiplus::REAL>(size), gdiStyle, Gdiplus::UnitPixel, &font) !=
          Gdiplus::Ok &&
      !generic) {
    gp::GdipDeleteFontFamily(family);
    family = nullptr;
    font = nullptr;
    if (gp::GdipGetGenericFontFamilySansSerif(&family) == Gdiplus::Ok && family &&
        gp::GdipCreateFont(family, static_cast<Gdiplus::REAL>(size), gdiStyle, Gdiplus::UnitPixel, &font) !=
            Gdiplus::Ok)
      font = nullptr;
  }
  if (family) gp::GdipDeleteFontFamily(family);
  platformFont = font;
  return platformFont;
}

void CFontDesc::freePlatformFont() {
  if (platformFont) gp::GdipDeleteFont(static_cast<Gdiplus::GpFont*>(platformFont));
  platformFont = nullptr;
}

}  // namespace VSTGUI
