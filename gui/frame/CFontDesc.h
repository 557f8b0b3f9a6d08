// A font by face name, pixel size and style; the GDI+ font is made on first use and dropped
// whenever the name changes or GDI+ shuts down.
#pragma once

#include <cstdint>

#include "gui/frame/CBaseObject.h"

namespace VSTGUI {

enum CTxtFace : int32_t { kNormalFace = 0, kFontBold = 0x1, kFontItalic = 0x2, kFontUnderline = 0x4 };

class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const char* name = nullptr, int32_t size = 0, int32_t style = 0);
  ~CFontDesc() override;

  void setName(const char* name);
  const char* getName() const { return name; }
  void setSize(int32_t newSize);
  int32_t getSize() const { return size; }
  void setStyle(int32_t newStyle);
  int32_t getStyle() const { return style; }

  // The platform font (a GpFont* on Windows), made on first use; null when none can be made.
  void* getPlatformFont();
  void freePlatformFont();

  // Drops the platform fonts of the predefined descriptors; called before GDI+ shuts down.
  static void freePredefinedPlatformFonts();

 private:
  char* name = nullptr;
  int32_t size = 0;
  int32_t style = 0;
  void* platformFont = nullptr;
};

// Module-wide descriptors, alive from library load to unload.
extern CFontDesc* const fontText12;
extern CFontDesc* const fontText14;
extern CFontDesc* const fontText11;
extern CFontDesc* const fontText10;
extern CFontDesc* const fontText18;
extern CFontDesc* const fontText9;
extern CFontDesc* const fontSymbol13;
extern CFontDesc* const fontDefault12;

}  // namespace VSTGUI
