#include "gui/frame/CFontDesc.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace VSTGUI {

namespace {
CFontDesc gFontText12("Arial", 12);
CFontDesc gFontText14("Arial", 14);
CFontDesc gFontText11("Arial", 11);
CFontDesc gFontText10("Arial", 10);
CFontDesc gFontText18("Arial", 18);
CFontDesc gFontText9("Arial", 9);
CFontDesc gFontSymbol13("Symbol", 13);
CFontDesc gFontDefault12("Arial", 12);
}  // namespace

CFontDesc* const fontText12 = &gFontText12;
CFontDesc* const fontText14 = &gFontText14;
CFontDesc* const fontText11 = &gFontText11;
CFontDesc* const fontText10 = &gFontText10;
CFontDesc* const fontText18 = &gFontText18;
CFontDesc* const fontText9 = &gFontText9;
CFontDesc* const fontSymbol13 = &gFontSymbol13;
CFontDesc* const fontDefault12 = &gFontDefault12;

CFontDesc::CFontDesc(const char* faceName, int32_t fontSize, int32_t fontStyle)
    : size(fontSize), style(fontStyle) {
  setName(faceName);
}

CFontDesc::~CFontDesc() {
  freePlatformFont();
  std::free(name);
  name = nullptr;
}

void CFontDesc::setName(const char* newName) {
  if (name == newName) return;
  if (name && newName && std::strcmp(name, newName) == 0) return;
  std::free(name);
  name = nullptr;
  if (newName) {
    const size_t length = std::strlen(newName);
    name = static_cast<char*>(std::malloc(length + 1));
    if (name) std::memcpy(name, newName, length + 1);
  }
  freePlatformFont();
}

// Size and style changes also drop the cached font: it was made for the old values.
void CFontDesc::setSize(int32_t newSize) {
  if (newSize == size) return;
  size = newSize;
  freePlatformFont();
}

void CFontDesc::setStyle(int32_t newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  freePlatformFont();
}

void CFontDesc::freePredefinedPlatformFonts() {
  for (CFontDesc* f :
       {fontText12, fontText14, fontText11, fontText10, fontText18, fontText9, fontSymbol13, fontDefault12})
    f->freePlatformFont();
}

}  // namespace VSTGUI
