// Debug counters of the toolkit's live objects and of the system resources they hold, by kind.
// They let tests prove that opening and closing an editor leaves nothing behind, where the
// system cannot say (Wine's GetGuiResources always answers 0). GUI thread only.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum LiveKind : int32_t {
  kLiveViews,           // CView and everything derived from it
  kLiveBitmaps,         // CBitmap
  kLiveDrawContexts,    // CDrawContext and COffscreenContext
  kLivePlatformFonts,   // fonts made for a CFontDesc
  kLiveGdiplusObjects,  // graphics, pens, brushes and images of GDI+
  kLiveDeviceContexts,  // window DCs taken with GetDC and not yet given back
  kLiveWindows,         // frame windows
  kLiveKindCount
};

inline int32_t liveObjectCounts[kLiveKindCount] = {};

inline void countLive(LiveKind kind, int32_t delta) {
  liveObjectCounts[kind] += delta;
}
inline int32_t liveCount(LiveKind kind) {
  return liveObjectCounts[kind];
}

}  // namespace VSTGUI
