#include "gui/frame/GDIPlusGlobals.h"

#include "gui/frame/CFontDesc.h"
#include "gui/frame/win32/GdiPlusFlat.h"

namespace VSTGUI {

int32_t GDIPlusGlobals::startups = 0;
int32_t GDIPlusGlobals::shutdowns = 0;

GDIPlusGlobals::GDIPlusGlobals() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
  ULONG_PTR started = 0;
  if (Gdiplus::GdiplusStartup(&started, &input, nullptr) == Gdiplus::Ok) token = started;
  ++startups;
}

// The predefined fonts outlive each start-up, so their GDI+ fonts must go before GDI+ does.
GDIPlusGlobals::~GDIPlusGlobals() {
  CFontDesc::freePredefinedPlatformFonts();
  if (token) Gdiplus::GdiplusShutdown(token);
  ++shutdowns;
}

}  // namespace VSTGUI
