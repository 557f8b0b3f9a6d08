// The toolkit's live objects and the child windows under an editor's parent, taken before and
// after open/close cycles (Wine's GetGuiResources answers 0, so the toolkit counts its own
// objects and handles).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "gui/frame/LiveObjectCounts.h"
#include "tools/host/ProcessCensus.h"

struct Census {
  int32_t counts[VSTGUI::kLiveKindCount];
  int windows;
  bool operator==(const Census& o) const {
    return windows == o.windows && std::memcmp(counts, o.counts, sizeof counts) == 0;
  }
  std::string text() const {
    static const char* const names[] = {"views", "bitmaps", "contexts",     "fonts",
                                        "gdi+",  "dcs",     "frame windows"};
    static_assert(sizeof(names) / sizeof(names[0]) == VSTGUI::kLiveKindCount, "a name for every kind");
    std::string s;
    for (int k = 0; k < VSTGUI::kLiveKindCount; ++k)
      s += std::string(names[k]) + "=" + std::to_string(counts[k]) + " ";
    return s + "child windows=" + std::to_string(windows);
  }
};

inline Census takeCensus(HWND parent) {
  Census c{};
  for (int k = 0; k < VSTGUI::kLiveKindCount; ++k)
    c.counts[k] = VSTGUI::liveCount(static_cast<VSTGUI::LiveKind>(k));
  c.windows = childWindows(parent);
  return c;
}
