// Checks the committed pictures against what the editor relies on: sizes and frame counts,
// film-strip frames whose pointer and needle stand where the controls put their values,
// transparency where other views overlap, and plain grounds under the menus' text.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "resources/ResourceIds.h"
#include "tools/art/KnobArt.h"
#include "tools/art/MeterArt.h"
#include "tools/art/Paint.h"
#include "tools/art/PanelLayout.h"
#include "tools/art/SwitchArt.h"

namespace art {
namespace {

// A committed PNG decoded by Cairo (premultiplied ARGB); pixel values read back as 0..1.
class Image {
 public:
  explicit Image(const std::string& file)
      : s_(cairo_image_surface_create_from_png((std::string(KORVALITE_ART_RESOURCES) + "/" + file).c_str())) {
  }
  ~Image() { cairo_surface_destroy(s_); }
  bool ok() const { return cairo_surface_status(s_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(s_); }
  int height() const { return cairo_image_surface_get_height(s_); }
  uint32_t px(int x, int y) const {
    const uint8_t* row =
        cairo_image_surface_get_data(s_) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s_);
    return reinterpret_cast<const uint32_t*>(row)[x];
  }
  double alpha(int x, int y) const { return (px(x, y) >> 24) / 255.0; }
  double red(int x, int y) const { return ((px(x, y) >> 16) & 0xff) / 255.0; }
  // Luminance of the pixel as composited over black.
  double luma(int x, int y) const {
    uint32_t p = px(x, y);
    return (0.299 * ((p >> 16) & 0xff) + 0.587 * ((p >> 8) & 0xff) + 0.114 * (p & 0xff)) / 255.0;
  }

 private:
  cairo_surface_t* s_;
};

double degrees(double radians) {
  return radians * 180.0 / kPi;
}
double angleDiff(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

// The direction (math degrees, searched from `from` to `to`) of what got darker in a frame
// compared with a reference frame of the same strip, on a circle of radius r about the
// centre (cx, cy) of the frame at row `top`. Everything that does not move cancels out, so
// what remains is the pointer or needle; the result is the darkening's weighted centre.
// Only pixels below `darkest` count, so a highlight in the reference is not taken for a mark.
double movingMarkDirection(const Image& img, int top, int refTop, double cx, double cy, double r, double from,
                           double to, double darkest) {
  double sx = 0, sy = 0;
  for (double d = from; d <= to; d += 0.25) {
    double a = d * kPi / 180;
    int x = static_cast<int>(std::floor(cx + std::cos(a) * r));
    int y = static_cast<int>(std::floor(cy - std::sin(a) * r));
    // Dark in this frame and darker than in the reference (not merely lit in the reference).
    double darker = img.luma(x, refTop + y) - img.luma(x, top + y);
    if (darker > 0.15 && img.luma(x, top + y) < darkest) {
      sx += darker * darker * std::cos(a);
      sy += darker * darker * std::sin(a);
    }
  }
  return std::atan2(sy, sx) * 180 / kPi;
}

TEST(ArtContract, EveryPictureHasTheSizeTheEditorLoads) {
  struct Expect {
    const char* file;
    int w, h;
  };
  const Expect expected[] = {
      {"background.png", KORVALITE_RES_BACKGROUND_WIDTH, KORVALITE_RES_BACKGROUND_HEIGHT},
      {"knob_big.png", 97, 101 * 261},
      {"knob_small.png", 27, 30 * 261},
      {"vu_left.png", 114, 87 * 131},
      {"vu_right.png", 114, 87 * 131},
      {"power_switch.png", 121, 105 * 2}};
  for (const Expect& e : expected) {
    Image img(e.file);
    ASSERT_TRUE(img.ok()) << e.file;
    EXPECT_EQ(img.width(), e.w) << e.file;
    EXPECT_EQ(img.height(), e.h) << e.file;
  }
  Image bg("background.png");
  for (int y = 0; y < bg.height(); y += 7) {
    for (int x = 0; x < bg.width(); x += 7) ASSERT_EQ(bg.alpha(x, y), 1.0) << x << "," << y;
  }
}

TEST(ArtContract, ResourceScriptNamesEachPictureUnderItsIdentifier) {
  std::ifstream f(std::string(KORVALITE_ART_RESOURCES) + "/Korvalite.rc");
  std::stringstream text;
  text << f.rdbuf();
  for (const char* line :
       {"KORVALITE_RES_BACKGROUND PNG \"background.png\"", "KORVALITE_RES_KNOB_BIG PNG \"knob_big.png\"",
        "KORVALITE_RES_KNOB_SMALL PNG \"knob_small.png\"", "KORVALITE_RES_VU_LEFT PNG \"vu_left.png\"",
        "KORVALITE_RES_VU_RIGHT PNG \"vu_right.png\"",
        "KORVALITE_RES_POWER_SWITCH PNG \"power_switch.png\""}) {
    EXPECT_NE(text.str().find(line), std::string::npos) << line;
  }
}

// Frame f of a knob strip must point where the knob puts value f / 260: 225 degrees at the
// minimum, straight up in the middle, -45 degrees at the maximum.
TEST(ArtContract, KnobPointerSweepsTheKnobsTravel) {
  struct Strip {
    const char* file;
    int w, fh;
    double r, tolerance;
  };
  for (const Strip& s : {Strip{"knob_big.png", 97, 101, 15, 2}, Strip{"knob_small.png", 27, 30, 6, 8}}) {
    Image img(s.file);
    ASSERT_TRUE(img.ok());
    for (int f : {0, 26, 65, 130, 195, 234, 260}) {
      double want = degrees(knobAngle(f, 261));
      int ref = f < 130 ? 260 : 0;
      double got = movingMarkDirection(img, f * s.fh, ref * s.fh, s.w * 0.5, s.w * 0.5, s.r, -90, 270, 0.3);
      EXPECT_LT(angleDiff(got, want), s.tolerance)
          << s.file << " frame " << f << ": " << got << " vs " << want;
    }
  }
  EXPECT_DOUBLE_EQ(degrees(knobAngle(0, 261)), 225.0);
  EXPECT_NEAR(degrees(knobAngle(130, 261)), 90.0, 1e-9);
  EXPECT_NEAR(degrees(knobAngle(260, 261)), -45.0, 1e-9);
}

// Every big knob draws the same strip, and its frames are opaque: the background under the
// three big knobs' rectangles must be identical, and each frame's corners (where the knob
// leaves the ground bare) must be exactly that background, or the knobs would show seams.
TEST(ArtContract, KnobFramesSitSeamlesslyOnTheBackground) {
  Image bg("background.png"), big("knob_big.png"), small("knob_small.png");
  ASSERT_TRUE(bg.ok() && big.ok() && small.ok());
  const Box& gain = layout::kGain;
  for (const Box& other : {layout::kTone, layout::kVolume}) {
    for (int y = 0; y < gain.h; ++y) {
      for (int x = 0; x < gain.w; ++x) {
        ASSERT_EQ(bg.px(gain.x + x, gain.y + y), bg.px(other.x + x, other.y + y))
            << other.x << ": " << x << "," << y;
      }
    }
  }
  struct Strip {
    const Image& img;
    const Box& box;
  };
  for (const Strip& s : {Strip{big, gain}, Strip{small, layout::kMix}}) {
    for (int f : {0, 77, 130, 260}) {
      for (int cy : {0, s.box.h - 3}) {
        for (int cx : {0, s.box.w - 3}) {
          for (int y = cy; y < cy + 3; ++y) {
            for (int x = cx; x < cx + 3; ++x) {
              ASSERT_EQ(s.img.px(x, f * s.box.h + y), bg.px(s.box.x + x, s.box.y + y))
                  << s.box.x << " frame " << f << ": " << x << "," << y;
            }
          }
        }
      }
    }
  }
}

// The needle rests at the left stop in the first frame and reaches full scale in the last.
TEST(ArtContract, MeterNeedleRunsFromRestToFullScale) {
  for (const char* file : {"vu_left.png", "vu_right.png"}) {
    Image img(file);
    ASSERT_TRUE(img.ok());
    for (int f : {0, 65, 130}) {
      double deflection = meterDeflection(f / 130.0);  // from vertical, positive to the right
      double want = 90.0 - degrees(deflection);
      int ref = f < 65 ? 130 : 0;
      double got = movingMarkDirection(img, f * 87, ref * 87, 57, 98, 52, 30, 150, 0.6);
      EXPECT_LT(angleDiff(got, want), 2.0) << file << " frame " << f << ": " << got << " vs " << want;
    }
  }
  // The scale reads as the effect maps its levels: -72 dB at rest, 0 dB at full scale, linear
  // in dB between (-36 dB halfway).
  EXPECT_NEAR(dbPosition(-72), 0.0, 1e-12);
  EXPECT_NEAR(dbPosition(-36), 0.5, 1e-12);
  EXPECT_NEAR(dbPosition(0), 1.0, 1e-12);
}

TEST(ArtContract, PowerSwitchLeavesOverlapsClearAndLightsWhenOn) {
  Image img("power_switch.png");
  ASSERT_TRUE(img.ok());
  for (int state = 0; state < 2; ++state) {
    int top = state * 105;
    // The supply menu covers rows 0-12 between x 9 and 83; the mix knob shows under rows 96-104
    // between x 30 and 57.
    for (int y = 0; y < 13; ++y) {
      for (int x = 9; x < 84; ++x) ASSERT_EQ(img.alpha(x, top + y), 0.0) << state << ": " << x << "," << y;
    }
    for (int y = 96; y < 105; ++y) {
      for (int x = 30; x < 58; ++x) ASSERT_EQ(img.alpha(x, top + y), 0.0) << state << ": " << x << "," << y;
    }
  }
  const int px = static_cast<int>(kPilotX), py = static_cast<int>(kPilotY);
  EXPECT_GT(img.luma(px, 105 + py), img.luma(px, py) + 0.3);
  EXPECT_GT(img.red(px, 105 + py), 0.9);
  // The lever points down when off and up when on.
  const int tx = static_cast<int>(kToggleX), ty = static_cast<int>(kToggleY);
  EXPECT_EQ(img.alpha(tx, ty + 26), 1.0);
  EXPECT_EQ(img.alpha(tx, ty - 26), 0.0);
  EXPECT_EQ(img.alpha(tx, 105 + ty - 26), 1.0);
  EXPECT_EQ(img.alpha(tx, 105 + ty + 26), 0.0);
}

// The menus draw only their text (black at alpha 200, or pale grey at alpha 120 for the tap
// menu) straight onto the background, so the ground there must be plain and contrasting.
TEST(ArtContract, MenuTextAreasArePlainAndContrasting) {
  Image bg("background.png");
  ASSERT_TRUE(bg.ok());
  struct Area {
    Box box;
    bool light;
  };
  for (const Area& a : {Area{layout::kInputMenu, true}, Area{layout::kOutputMenu, true},
                        Area{layout::kSupplyMenu, true}, Area{layout::kTapMenu, false}}) {
    double sum = 0, sum2 = 0;
    int n = 0;
    // The inner part of the box, where the centred text lands.
    for (int y = a.box.y + 3; y < a.box.y + a.box.h - 3; ++y) {
      for (int x = a.box.x + 4; x < a.box.x + a.box.w - 4; ++x) {
        double v = bg.luma(x, y);
        sum += v, sum2 += v * v, ++n;
      }
    }
    double mean = sum / n, sd = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
    if (a.light) {
      EXPECT_GT(mean, 0.75) << a.box.x << "," << a.box.y;
    } else {
      EXPECT_LT(mean, 0.08) << a.box.x << "," << a.box.y;
    }
    EXPECT_LT(sd, 0.05) << a.box.x << "," << a.box.y;
  }
}

}  // namespace
}  // namespace art
