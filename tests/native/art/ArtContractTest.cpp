// Checks the committed pictures, at 1x and in their 2x parts, against what the editor relies
// on: sizes, frame counts and identifiers, film-strip frames whose pointer and needle stand
// where the controls put their values, transparency where other views overlap, and plain
// grounds under the menus' text; and that each 2x picture is its 1x picture, drawn finer.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

std::string textOf(const std::string& file) {
  std::ifstream f(std::string(KORVALITE_ART_RESOURCES) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << f.rdbuf();
  return text.str();
}

// The pictures, in resource order, with their 1x geometry.
struct Strip {
  int id;
  const char* name;
  int w, fh, frames;
  bool opaque;
};
const Strip kStrips[] = {{KORVALITE_RES_BACKGROUND, "background", KORVALITE_RES_BACKGROUND_WIDTH,
                          KORVALITE_RES_BACKGROUND_HEIGHT, 1, true},
                         {KORVALITE_RES_KNOB_BIG, "knob_big", 97, 101, 261, true},
                         {KORVALITE_RES_KNOB_SMALL, "knob_small", 27, 30, 261, true},
                         {KORVALITE_RES_VU_LEFT, "vu_left", 114, 87, 131, true},
                         {KORVALITE_RES_VU_RIGHT, "vu_right", 114, 87, 131, true},
                         {KORVALITE_RES_POWER_SWITCH, "power_switch", 121, 105, 2, false}};

std::string partFile(const char* name, int part) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "_%02d.png", part);
  return std::string("2x/") + name + suffix;
}

// Where frame `frame` of a strip lies at `scale`: the file holding it and the frame's corner
// (1x strips stack their frames; a 2x part lays them side by side).
struct Place {
  std::string file;
  int left, top;
};
Place placeOf(const char* name, int width, int frameHeight, int frame, int scale) {
  if (scale == 1) return {std::string(name) + ".png", 0, frame * frameHeight};
  return {partFile(name, frame / KORVALITE_RES_2X_FRAMES_PER_PART),
          frame % KORVALITE_RES_2X_FRAMES_PER_PART * width * 2, 0};
}

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
double movingMarkDirection(const Image& img, const Place& at, const Image& ref, const Place& refAt, double cx,
                           double cy, double r, double from, double to, double darkest) {
  double sx = 0, sy = 0;
  for (double d = from; d <= to; d += 0.25) {
    double a = d * kPi / 180;
    int x = static_cast<int>(std::floor(cx + std::cos(a) * r));
    int y = static_cast<int>(std::floor(cy - std::sin(a) * r));
    // Dark in this frame and darker than in the reference (not merely lit in the reference).
    double darker = ref.luma(refAt.left + x, refAt.top + y) - img.luma(at.left + x, at.top + y);
    if (darker > 0.15 && img.luma(at.left + x, at.top + y) < darkest) {
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

// At 2x every picture doubles each way, cut into parts of 16 frames side by side (the last
// holds the rest),
// each under KORVALITE_RES_2X_PART in the generated script in resource order. Opaque pictures
// stay RGB, which the plug-in's fast decoding path depends on.
TEST(ArtContract, EveryTwoXPartDoublesItsFramesUnderItsIdentifier) {
  EXPECT_NE(textOf("Korvalite.rc").find("\n#include \"Pictures2x.rc\"\n"), std::string::npos);
  std::istringstream script(textOf("Pictures2x.rc"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(script, line);) {
    if (line.rfind("//", 0) != 0 && !line.empty()) lines.push_back(line);
  }
  size_t n = 0;
  for (const Strip& s : kStrips) {
    const int parts = (s.frames + KORVALITE_RES_2X_FRAMES_PER_PART - 1) / KORVALITE_RES_2X_FRAMES_PER_PART;
    for (int part = 0; part < parts; ++part) {
      const std::string file = partFile(s.name, part);
      ASSERT_LT(n, lines.size()) << file;
      EXPECT_EQ(lines[n++], std::to_string(KORVALITE_RES_2X_PART(s.id, part)) + " PNG \"" + file + "\"");
      Image img(file);
      ASSERT_TRUE(img.ok()) << file;
      const int frames =
          std::min(KORVALITE_RES_2X_FRAMES_PER_PART, s.frames - part * KORVALITE_RES_2X_FRAMES_PER_PART);
      EXPECT_EQ(img.width(), 2 * s.w * frames) << file;
      EXPECT_EQ(img.height(), 2 * s.fh) << file;
      // Byte 25 of a PNG is its colour type: 2 for RGB, 6 for RGB with alpha.
      EXPECT_EQ(textOf(file).at(25), s.opaque ? 2 : 6) << file;
    }
    EXPECT_FALSE(Image(partFile(s.name, parts)).ok()) << s.name;
  }
  EXPECT_EQ(n, lines.size());
}

TEST(ArtContract, ResourceScriptNamesEachPictureUnderItsIdentifier) {
  const std::string text = textOf("Korvalite.rc");
  for (const char* line :
       {"KORVALITE_RES_BACKGROUND PNG \"background.png\"", "KORVALITE_RES_KNOB_BIG PNG \"knob_big.png\"",
        "KORVALITE_RES_KNOB_SMALL PNG \"knob_small.png\"", "KORVALITE_RES_VU_LEFT PNG \"vu_left.png\"",
        "KORVALITE_RES_VU_RIGHT PNG \"vu_right.png\"",
        "KORVALITE_RES_POWER_SWITCH PNG \"power_switch.png\""}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

// Frame f of a knob strip must point where the knob puts value f / 260: 225 degrees at the
// minimum, straight up in the middle, -45 degrees at the maximum; at 2x too, whichever part
// holds the frame.
TEST(ArtContract, KnobPointerSweepsTheKnobsTravel) {
  struct Knob {
    const char* name;
    int w, fh;
    double r, tolerance;
  };
  for (int scale : {1, 2}) {
    for (const Knob& s : {Knob{"knob_big", 97, 101, 15, 2}, Knob{"knob_small", 27, 30, 6, 8}}) {
      for (int f : {0, 26, 65, 130, 195, 234, 260}) {
        double want = degrees(knobAngle(f, 261));
        const Place at = placeOf(s.name, s.w, s.fh, f, scale),
                    ref = placeOf(s.name, s.w, s.fh, f < 130 ? 260 : 0, scale);
        Image img(at.file), refImg(ref.file);
        ASSERT_TRUE(img.ok() && refImg.ok()) << at.file;
        const double c = s.w * 0.5 * scale;
        double got = movingMarkDirection(img, at, refImg, ref, c, c, s.r * scale, -90, 270, 0.3);
        EXPECT_LT(angleDiff(got, want), s.tolerance)
            << at.file << " frame " << f << ": " << got << " vs " << want;
      }
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
  for (int k : {1, 2}) {
    Image bg(k == 1 ? "background.png" : partFile("background", 0));
    ASSERT_TRUE(bg.ok());
    const Box& gain = layout::kGain;
    for (const Box& other : {layout::kTone, layout::kVolume}) {
      for (int y = 0; y < gain.h * k; ++y) {
        for (int x = 0; x < gain.w * k; ++x) {
          ASSERT_EQ(bg.px(gain.x * k + x, gain.y * k + y), bg.px(other.x * k + x, other.y * k + y))
              << k << "x " << other.x << ": " << x << "," << y;
        }
      }
    }
    struct Knob {
      const char* name;
      const Box& box;
    };
    for (const Knob& s : {Knob{"knob_big", gain}, Knob{"knob_small", layout::kMix}}) {
      for (int f : {0, 77, 130, 260}) {
        const Place at = placeOf(s.name, s.box.w, s.box.h, f, k);
        Image img(at.file);
        ASSERT_TRUE(img.ok()) << at.file;
        for (int cy : {0, (s.box.h - 3) * k}) {
          for (int cx : {0, (s.box.w - 3) * k}) {
            for (int y = cy; y < cy + 3 * k; ++y) {
              for (int x = cx; x < cx + 3 * k; ++x) {
                ASSERT_EQ(img.px(at.left + x, at.top + y), bg.px(s.box.x * k + x, s.box.y * k + y))
                    << at.file << " frame " << f << ": " << x << "," << y;
              }
            }
          }
        }
      }
    }
  }
}

// The needle rests at the left stop in the first frame and reaches full scale in the last.
TEST(ArtContract, MeterNeedleRunsFromRestToFullScale) {
  for (int k : {1, 2}) {
    for (const char* name : {"vu_left", "vu_right"}) {
      for (int f : {0, 65, 130}) {
        double deflection = meterDeflection(f / 130.0);  // from vertical, positive to the right
        double want = 90.0 - degrees(deflection);
        const Place at = placeOf(name, 114, 87, f, k), ref = placeOf(name, 114, 87, f < 65 ? 130 : 0, k);
        Image img(at.file), refImg(ref.file);
        ASSERT_TRUE(img.ok() && refImg.ok()) << at.file;
        double got = movingMarkDirection(img, at, refImg, ref, 57 * k, 98 * k, 52 * k, 30, 150, 0.6);
        EXPECT_LT(angleDiff(got, want), 2.0) << at.file << " frame " << f << ": " << got << " vs " << want;
      }
    }
  }
  // The scale reads as the effect maps its levels: -72 dB at rest, 0 dB at full scale, linear
  // in dB between (-36 dB halfway).
  EXPECT_NEAR(dbPosition(-72), 0.0, 1e-12);
  EXPECT_NEAR(dbPosition(-36), 0.5, 1e-12);
  EXPECT_NEAR(dbPosition(0), 1.0, 1e-12);
}

TEST(ArtContract, PowerSwitchLeavesOverlapsClearAndLightsWhenOn) {
  for (int k : {1, 2}) {
    const Place off = placeOf("power_switch", 121, 105, 0, k), on = placeOf("power_switch", 121, 105, 1, k);
    Image img(off.file);
    ASSERT_TRUE(img.ok());
    const int h = 105 * k;
    for (const Place& at : {off, on}) {
      const int state = &at == &on ? 1 : 0;
      const int left = at.left, top = at.top;
      // The supply menu covers rows 0-12 between x 9 and 83; the mix knob shows under rows
      // 96-104 between x 30 and 57 (at 1x; all doubled at 2x).
      for (int y = 0; y < 13 * k; ++y) {
        for (int x = 9 * k; x < 84 * k; ++x) {
          ASSERT_EQ(img.alpha(left + x, top + y), 0.0) << k << "x " << state << ": " << x << "," << y;
        }
      }
      for (int y = 96 * k; y < h; ++y) {
        for (int x = 30 * k; x < 58 * k; ++x) {
          ASSERT_EQ(img.alpha(left + x, top + y), 0.0) << k << "x " << state << ": " << x << "," << y;
        }
      }
    }
    const int px = static_cast<int>(kPilotX) * k, py = static_cast<int>(kPilotY) * k;
    EXPECT_GT(img.luma(on.left + px, on.top + py), img.luma(off.left + px, off.top + py) + 0.3);
    EXPECT_GT(img.red(on.left + px, on.top + py), 0.9);
    // The lever, about the centre the editor takes clicks around, points down when off and up
    // when on.
    const int tx = KORVALITE_RES_POWER_SWITCH_LEVER_X * k, ty = KORVALITE_RES_POWER_SWITCH_LEVER_Y * k;
    EXPECT_EQ(img.alpha(off.left + tx, off.top + ty + 26 * k), 1.0) << k;
    EXPECT_EQ(img.alpha(off.left + tx, off.top + ty - 26 * k), 0.0) << k;
    EXPECT_EQ(img.alpha(on.left + tx, on.top + ty - 26 * k), 1.0) << k;
    EXPECT_EQ(img.alpha(on.left + tx, on.top + ty + 26 * k), 0.0) << k;
  }
}

// The menus draw only their text (black at alpha 200, or pale grey at alpha 120 for the tap
// menu) straight onto the background, so the ground there must be plain and contrasting.
TEST(ArtContract, MenuTextAreasArePlainAndContrasting) {
  for (int k : {1, 2}) {
    Image bg(k == 1 ? "background.png" : partFile("background", 0));
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
      for (int y = (a.box.y + 3) * k; y < (a.box.y + a.box.h - 3) * k; ++y) {
        for (int x = (a.box.x + 4) * k; x < (a.box.x + a.box.w - 4) * k; ++x) {
          double v = bg.luma(x, y);
          sum += v, sum2 += v * v, ++n;
        }
      }
      double mean = sum / n, sd = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
      if (a.light) {
        EXPECT_GT(mean, 0.75) << k << "x " << a.box.x << "," << a.box.y;
      } else {
        EXPECT_LT(mean, 0.08) << k << "x " << a.box.x << "," << a.box.y;
      }
      EXPECT_LT(sd, 0.05) << k << "x " << a.box.x << "," << a.box.y;
    }
  }
}

// A 2x picture is its 1x picture drawn finer, not another picture: averaged over each 2 x 2
// block it must come out as the 1x picture, up to antialiasing and the finer grain. Measured
// on every frame that starts or ends a part, it also finds a part holding the wrong frames.
// On the 0..1 scale over all four channels, the mean difference stays under 0.02 and no 4 x 4
// patch of the 1x picture differs by more than 0.06 on average (measured at most 0.011 and
// 0.024); an unscaled shadow blur or a cap without its veil moves patches further.
TEST(ArtContract, EveryTwoXPictureAveragesDownToItsOneXPicture) {
  for (const Strip& s : kStrips) {
    Image one(std::string(s.name) + ".png");
    ASSERT_TRUE(one.ok()) << s.name;
    for (int f = 0; f < s.frames; ++f) {
      const int inPart = f % KORVALITE_RES_2X_FRAMES_PER_PART;
      if (inPart != 0 && inPart != KORVALITE_RES_2X_FRAMES_PER_PART - 1 && f != s.frames - 1) continue;
      const Place at = placeOf(s.name, s.w, s.fh, f, 2);
      Image two(at.file);
      ASSERT_TRUE(two.ok()) << at.file;
      const int patch = 4, cols = s.w / patch, rows = s.fh / patch;
      std::vector<double> patches(static_cast<size_t>(cols) * rows, 0.0);
      double sum = 0;
      for (int y = 0; y < rows * patch; ++y) {
        for (int x = 0; x < cols * patch; ++x) {
          const uint32_t p = one.px(x, f * s.fh + y);
          for (int shift = 0; shift < 32; shift += 8) {
            double fine = 0;
            for (int j = 0; j < 2; ++j) {
              for (int i = 0; i < 2; ++i)
                fine += (two.px(at.left + 2 * x + i, at.top + 2 * y + j) >> shift & 0xff) / 4.0;
            }
            const double d = (fine - (p >> shift & 0xff)) / 255.0;
            sum += std::fabs(d) / 4;
            patches[static_cast<size_t>(y / patch) * cols + x / patch] += d / (4 * patch * patch);
          }
        }
      }
      EXPECT_LT(sum / (rows * cols * patch * patch), 0.02) << at.file << " frame " << f;
      double worst = 0;
      for (double p : patches) worst = std::max(worst, std::fabs(p));
      EXPECT_LT(worst, 0.06) << at.file << " frame " << f;
    }
  }
}

}  // namespace
}  // namespace art
