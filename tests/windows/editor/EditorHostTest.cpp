// The real Korvalite_64.dll in korvalite-host's editor window, as a DAW shows it, driven by
// real mouse and keyboard input. What the host logs (its callbacks, the parameter values) and
// the screenshots it saves are checked; the screenshots against the committed pictures (the
// film-strip frame each control should show, laid over the background), not a golden image.
#include <gtest/gtest.h>
#include <png.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/HostTestSupport.h"
#include "tools/host/EditorScript.h"
#include "tools/host/HostError.h"

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

Image readPng(const std::string& path) {
  Image image;
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    ADD_FAILURE() << "cannot read " << path;
    return image;
  }
  png.format = PNG_FORMAT_RGBA;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr))
    ADD_FAILURE() << "cannot decode " << path;
  return image;
}

const std::string kArt = KORVALITE_ART;

// A picture as the editor shows it at 200 %: its 2x parts (frames side by side in each) put
// back into one strip of frames stacked top to bottom, as the 1x picture is.
Image doubledPicture(const std::string& name, int frames) {
  const std::string base = name.substr(0, name.size() - 4);
  Image whole;
  for (int part = 0; part * 16 < frames; ++part) {
    char file[96];
    std::snprintf(file, sizeof file, "%s/2x/%s_%02d.png", kArt.c_str(), base.c_str(), part);
    const Image p = readPng(file);
    const int inPart = std::min(16, frames - part * 16);
    const int w = p.width / inPart;
    if (whole.width == 0) {
      whole.width = w;
      whole.height = p.height * frames;
      whole.rgba.resize(static_cast<size_t>(whole.width) * whole.height * 4);
    }
    for (int f = 0; f < inPart; ++f)
      for (int y = 0; y < p.height; ++y)
        std::copy(p.at(f * w, y), p.at(f * w, y) + w * 4,
                  &whole.rgba[(static_cast<size_t>((part * 16 + f) * p.height + y) * w) * 4]);
  }
  return whole;
}

// A picture at scale 1 or 2, read once.
const Image& art(const char* name, int scale = 1, int frames = 1) {
  static std::map<std::string, Image> cache;
  const std::string key = std::string(name) + "@" + std::to_string(scale);
  auto found = cache.find(key);
  if (found == cache.end())
    found = cache.emplace(key, scale == 1 ? readPng(kArt + "/" + name) : doubledPicture(name, frames)).first;
  return found->second;
}

// A film-strip control on the face: where it is, its picture and the frame geometry, at the
// editor's size (1 or 2 times the face's).
struct Strip {
  const char* picture;
  int x, y, frameHeight, frames;
  int scale = 1;
  Strip at(int k) const { return {picture, x * k, y * k, frameHeight * k, frames, k}; }
};
const Strip kGain{"knob_big.png", 80, 538, 101, 261};
const Strip kTone{"knob_big.png", 246, 538, 101, 261};
const Strip kVolume{"knob_big.png", 864, 539, 101, 261};
const Strip kMix{"knob_small.png", 1067, 616, 30, 261};
const Strip kPower{"power_switch.png", 1037, 520, 105, 2};
const Strip kMeterLeft{"vu_left.png", 448, 555, 87, 131};
const Strip kMeterRight{"vu_right.png", 660, 554, 87, 131};

// The frame a film strip shows for value v: the largest whose top edge is at or below
// v x (frame height x (frames - 1)).
int frameFor(float v, const Strip& s) {
  const int total = s.frameHeight * (s.frames - 1);
  int y = static_cast<int>(v * static_cast<float>(total));
  y = y < 0 ? 0 : (y > total ? total : y);
  return y / s.frameHeight;
}

// Mean absolute difference per colour channel between the screenshot and frame `frame` of the
// strip laid over the background, over the strip's rows first..last-1.
double stripDifference(const Image& shot, const Strip& s, int frame, int first = 0, int last = -1) {
  const Image& strip = art(s.picture, s.scale, s.frames);
  const Image& face = art("background.png", s.scale);
  if (last < 0) last = s.frameHeight;
  double sum = 0;
  long n = 0;
  for (int y = first; y < last; ++y)
    for (int x = 0; x < strip.width; ++x) {
      const uint8_t* f = strip.at(x, frame * s.frameHeight + y);
      const uint8_t* b = face.at(s.x + x, s.y + y);
      const uint8_t* got = shot.at(s.x + x, s.y + y);
      for (int c = 0; c < 3; ++c) {
        const double expected = (f[c] * f[3] + b[c] * (255.0 - f[3])) / 255.0;
        sum += std::fabs(expected - got[c]);
        ++n;
      }
    }
  return sum / static_cast<double>(n);
}

// The frame of the strip the screenshot matches best.
int shownFrame(const Image& shot, const Strip& s) {
  int best = 0;
  double bestDifference = 1e9;
  for (int f = 0; f < s.frames; ++f) {
    const double d = stripDifference(shot, s, f);
    if (d < bestDifference) bestDifference = d, best = f;
  }
  return best;
}

double regionDifference(const Image& a, const Image& b, int x0, int y0, int w, int h, int bx = -1,
                        int by = -1) {
  if (bx < 0) bx = x0, by = y0;
  double sum = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) sum += std::fabs(double(a.at(x0 + x, y0 + y)[c]) - b.at(bx + x, by + y)[c]);
  return sum / (w * h * 3.0);
}

// One run of the host's editor command, its log split into lines.
struct EditorRun {
  HostRun run;
  std::vector<std::string> lines;
  // The values of every "print" action, in order.
  std::vector<std::map<int, float>> prints;
  // Milliseconds of the first logged line containing text, -1 if none.
  long timeOf(const std::string& text) const {
    for (const std::string& l : lines) {
      const size_t bracket = l.find('[');
      if (bracket != std::string::npos && l.find(text) != std::string::npos)
        return std::atol(l.c_str() + bracket + 1);
    }
    return -1;
  }
};

EditorRun runEditor(const std::string& actions, const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args = {"editor", KORVALITE_DLL, "--hold", "100", "--do", actions};
  args.insert(args.end(), extra.begin(), extra.end());
  EditorRun r;
  r.run = runHost(args);
  std::istringstream in(r.run.err);
  for (std::string line; std::getline(in, line);) {
    r.lines.push_back(line);
    if (line.find("] print") != std::string::npos) r.prints.emplace_back();
    const size_t at = line.find("] parameter ");
    if (at != std::string::npos && !r.prints.empty()) {
      int index = 0;
      float value = 0;
      if (std::sscanf(line.c_str() + at, "] parameter %d = %f", &index, &value) == 2)
        r.prints.back()[index] = value;
    }
  }
  EXPECT_EQ(r.run.exitCode, 0) << r.run.err;
  return r;
}

std::string scratch(const std::string& name) {
  static const std::string folder = freshFolder("editor");
  return folder + "/" + name;
}

// At 100 % and, chosen on the face's right-click menu, at 200 %, where the window is twice the
// size each way and shows the 2x pictures pixel for pixel.
TEST(EditorHost, ScreenshotShowsTheFaceAndEveryControlInPlace) {
  for (int k : {1, 2}) {
    SCOPED_TRACE(k);
    const std::string shotPath = scratch("face-" + std::to_string(k) + ".png");
    EditorRun r =
        runEditor(k == 1 ? "print" : "menu 600 400 4 right; wait 500; print", {"--screenshot", shotPath});
    ASSERT_EQ(r.prints.size(), 1u);
    std::map<int, float>& p = r.prints[0];
    const Image shot = readPng(shotPath);
    ASSERT_EQ(shot.width, 1191 * k);
    ASSERT_EQ(shot.height, 734 * k);
    const Image& face = art("background.png", k);
    auto bare = [&](int x, int y, int w, int h) {
      return regionDifference(shot, face, x * k, y * k, w * k, h * k);
    };
    // Bare face between the controls: the valves, the chassis lip, the panel's lower edge.
    EXPECT_LT(bare(560, 250, 60, 60), 3.0);
    EXPECT_LT(bare(700, 20, 100, 20), 3.0);
    EXPECT_LT(bare(180, 690, 200, 20), 3.0);
    // Each film strip shows the frame of its value at its place; where a later view covers
    // it (the switch over the mix knob's top 9 rows, the supply menu over the switch's top 13)
    // only the uncovered rows count.
    EXPECT_LT(stripDifference(shot, kGain.at(k), frameFor(p[0], kGain)), 3.0);
    EXPECT_LT(stripDifference(shot, kTone.at(k), frameFor(p[1], kTone)), 3.0);
    EXPECT_LT(stripDifference(shot, kVolume.at(k), frameFor(p[2], kVolume)), 3.0);
    EXPECT_LT(stripDifference(shot, kMix.at(k), frameFor(p[3], kMix), 9 * k), 3.0);
    EXPECT_LT(stripDifference(shot, kPower.at(k), p[6] >= 0.5f ? 1 : 0, 13 * k, 95 * k), 3.0);
    // Without audio the effect's levels are 0, where the first idle pass settles the needles.
    EXPECT_LT(stripDifference(shot, kMeterLeft.at(k), 0), 3.0);
    EXPECT_LT(stripDifference(shot, kMeterRight.at(k), 0), 3.0);
    // The menus print their entry over the face.
    EXPECT_GT(bare(88, 195, 49, 17), 3.0);
    EXPECT_GT(bare(1011, 178, 62, 22), 3.0);
    EXPECT_GT(bare(1046, 511, 75, 22), 3.0);
    EXPECT_GT(bare(334, 95, 190, 22), 3.0);
  }
}

// The same hand movements, written once for the face at 100 % and scaled to the size, make the
// same changes at 75, 100 and 200 %: a knob dragged, the power switch's lever clicked, a menu's
// entry chosen, the wheel over a knob. The host is asked for each size's window; one that
// refuses keeps the editor at 100 %, where it still works.
TEST(EditorHost, TheSameHandMovementsMakeTheSameChangesAtEverySize) {
  // Every point is a whole pixel at each size (a multiple of 4 at 100 %).
  const std::string moves =
      "drag 128 588 128 536 20; click 1120 576; menu 112 204 1; wheel 912 588 2; wait 150; print";
  struct Size {
    int entry, percent;
    const char* window;
  } const sizes[] = {
      {1, 100, nullptr}, {0, 75, "editor resized to 893 x 551"}, {4, 200, "editor resized to 2382 x 1468"}};
  std::map<int, float> atHundred;
  for (const Size& size : sizes) {
    SCOPED_TRACE(size.percent);
    EditorRun r = runEditor("menu 600 400 " + std::to_string(size.entry) + " right; wait 500; scale " +
                            std::to_string(size.percent) + "; " + moves);
    ASSERT_EQ(r.prints.size(), 1u);
    if (size.window) {
      EXPECT_GE(r.timeOf(size.window), 0);
    }
    std::map<int, float>& p = r.prints[0];
    EXPECT_FLOAT_EQ(p[0], 0.76f);
    EXPECT_EQ(p[6], 0.0f);
    EXPECT_EQ(p[7], 0.01f);
    EXPECT_NEAR(p[2], 0.7f, 1e-5f);
    if (size.percent == 100) {
      atHundred = p;
    } else {
      EXPECT_EQ(p, atHundred);
    }
  }
  EditorRun refused = runEditor("menu 600 400 4 right; wait 500; " + moves, {"--refuse-size"});
  EXPECT_GE(refused.timeOf("refused an editor size of 2382 x 1468"), 0);
  ASSERT_EQ(refused.prints.size(), 1u);
  EXPECT_EQ(refused.prints[0], atHundred);
}

// Dragging the gain knob up by 100 pixels in linear mode takes it from 0.5 to 1.0; the
// host sees begin edit, automation of index 0 only, end edit.
TEST(EditorHost, DraggingTheGainKnobUpAutomatesParameterZeroToOne) {
  EditorRun r = runEditor("print; drag 128 588 128 488 20; print");
  ASSERT_EQ(r.prints.size(), 2u);
  EXPECT_FLOAT_EQ(r.prints[0][0], 0.5f);
  EXPECT_FLOAT_EQ(r.prints[1][0], 1.0f);
  std::vector<std::string> events;
  std::vector<float> automated;
  for (const std::string& l : r.lines) {
    if (l.find("plug-in begins editing") != std::string::npos) events.push_back(l.substr(l.find("plug-in")));
    if (l.find("plug-in ends editing") != std::string::npos) events.push_back(l.substr(l.find("plug-in")));
    int index = -1;
    float value = 0;
    const size_t at = l.find("plug-in automates parameter ");
    if (at != std::string::npos &&
        std::sscanf(l.c_str() + at, "plug-in automates parameter %d = %f", &index, &value) == 2) {
      EXPECT_EQ(index, 0);
      if (automated.empty()) events.push_back("automates");
      automated.push_back(value);
    }
  }
  EXPECT_EQ(events, (std::vector<std::string>{"plug-in begins editing parameter 0", "automates",
                                              "plug-in ends editing parameter 0"}));
  ASSERT_GE(automated.size(), 5u);
  for (size_t i = 1; i < automated.size(); ++i) EXPECT_GE(automated[i], automated[i - 1]);
  EXPECT_FLOAT_EQ(automated.back(), 1.0f);
}

TEST(EditorHost, WheelTurnsAKnobATenthANotchAndControlClickResetsIt) {
  EditorRun r = runEditor(
      "wheel 294 588 1; wait 150; print; wheel 294 588 -3; wait 150; print; click 294 588 ctrl; wait 150; "
      "print");
  ASSERT_EQ(r.prints.size(), 3u);
  EXPECT_NEAR(r.prints[0][1], 0.6f, 1e-5f);
  EXPECT_NEAR(r.prints[1][1], 0.3f, 1e-5f);
  EXPECT_FLOAT_EQ(r.prints[2][1], 0.5f);
  EXPECT_FLOAT_EQ(r.prints[2][0], 0.5f);  // nothing else moved
}

// Tab brings the keyboard's focus to the first knob, which then shows a bar under itself and turns
// with the arrow keys; a click moves the focus without a mark, the hand on the mouse knowing it.
TEST(EditorHost, TabShowsWhichKnobTheArrowKeysTurn) {
  const std::string before = scratch("focus-none.png"), tabbed = scratch("focus-tab.png"),
                    clicked = scratch("focus-click.png");
  EditorRun r = runEditor("shot " + before + "; key tab; wait 150; shot " + tabbed +
                          "; key up; wait 150; print; click 294 588; wait 150; shot " + clicked);
  ASSERT_EQ(r.prints.size(), 1u);
  EXPECT_NEAR(r.prints[0][0], 0.6f, 1e-5f);
  const Image none = readPng(before), marked = readPng(tabbed), click = readPng(clicked);
  auto bar = [](const Image& a, const Image& b, int x) { return regionDifference(a, b, x + 33, 635, 31, 2); };
  EXPECT_GT(bar(none, marked, 80), 20.0);  // under the gain knob
  EXPECT_LT(bar(none, click, 80), 1.0);    // gone with the focus
  EXPECT_LT(bar(none, click, 246), 1.0);   // and none where the click put it
}

TEST(EditorHost, ClickingThePowerSwitchTogglesParameterSixAndItsPicture) {
  const std::string off = scratch("power-off.png"), on = scratch("power-on.png");
  EditorRun r = runEditor("click 1120 570; wait 150; print; shot " + off +
                          "; click 1120 570; wait 150; print; shot " + on);
  ASSERT_EQ(r.prints.size(), 2u);
  EXPECT_EQ(r.prints[0][6], 0.0f);
  EXPECT_EQ(r.prints[1][6], 1.0f);
  EXPECT_LT(stripDifference(readPng(off), kPower, 0, 13, 95), 3.0);
  EXPECT_LT(stripDifference(readPng(on), kPower, 1, 13, 95), 3.0);
}

// The input menu's pop-up choice sets parameter 7 to 0.01 and shows "Input 2"; host values
// show on the menu when they name an entry and leave it alone when they do not.
TEST(EditorHost, ChoosingInput2AndHostValuesShowOnTheMenu) {
  const std::string first = scratch("menu-first.png"), chosen = scratch("menu-chosen.png"),
                    hostFirst = scratch("menu-host0.png"), hostSecond = scratch("menu-host001.png"),
                    outOfRange = scratch("menu-host05.png");
  EditorRun r = runEditor("shot " + first + "; menu 112 203 1; wait 200; print; shot " + chosen +
                          "; param 7 0; wait 150; shot " + hostFirst + "; param 7 0.01; wait 150; shot " +
                          hostSecond + "; param 7 0.5; wait 150; shot " + outOfRange);
  ASSERT_EQ(r.prints.size(), 1u);
  EXPECT_EQ(r.prints[0][7], 0.01f);
  const Image a = readPng(first), b = readPng(chosen), c = readPng(hostFirst), d = readPng(hostSecond),
              e = readPng(outOfRange);
  auto menuDifference = [](const Image& x, const Image& y) {
    return regionDifference(x, y, 88, 195, 49, 17);
  };
  EXPECT_GT(menuDifference(a, b), 2.0);  // "Input 1" became "Input 2"
  EXPECT_LT(menuDifference(a, c), 0.5);  // host 0: "Input 1" again
  EXPECT_LT(menuDifference(b, d), 0.5);  // host 0.01: "Input 2"
  EXPECT_LT(menuDifference(d, e), 0.5);  // host 0.5: no such entry, still "Input 2"
}

// Files dropped on the face are read by the DLL itself, with the libsndfile linked into it: a
// FLAC becomes the cabinet (the drop answers copy, the plug-in automates Cab to User, the menu
// shows the file's name), a text file changes nothing and the line under the plates says why.
TEST(EditorHost, AFlacDroppedOnTheFaceBecomesTheCabinetAndATextFileIsRefused) {
  const std::string flac = scratch("Greenback 4x12.flac"), notes = scratch("notes.wav");
  const std::string before = scratch("cab-before.png"), refused = scratch("cab-refused.png"),
                    loaded = scratch("cab-loaded.png");
  SF_INFO info = {};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(flac.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<float> samples(2 * 8820, 0.0f);
  for (size_t n = 0; n < 8820; ++n) samples[2 * n] = 0.6f * std::exp(-0.002f * n) * std::cos(0.4f * n);
  ASSERT_EQ(sf_writef_float(file, samples.data(), 8820), 8820);
  ASSERT_EQ(sf_close(file), 0);
  FILE* text = std::fopen(notes.c_str(), "wb");
  ASSERT_NE(text, nullptr);
  std::fputs("a list of cabinets, not audio\n", text);
  std::fclose(text);

  EditorRun r = runEditor("shot " + before + "; drop 128 588 " + notes + "; wait 600; print; shot " +
                          refused + "; drop 600 300 " + flac + "; wait 600; print; shot " + loaded);
  ASSERT_EQ(r.prints.size(), 2u);
  EXPECT_FLOAT_EQ(r.prints[0][11], 0.4f) << "the refused file left the 2x12 in place";
  EXPECT_FLOAT_EQ(r.prints[1][11], 1.0f) << "User";
  int copies = 0;
  bool automated = false;
  for (const std::string& l : r.lines) {
    copies += l.find("drop answered copy") != std::string::npos;
    automated = automated || l.find("automates parameter 11 = 1") != std::string::npos;
  }
  EXPECT_EQ(copies, 2);
  EXPECT_TRUE(automated);
  const Image a = readPng(before), b = readPng(refused), c = readPng(loaded);
  EXPECT_LT(regionDifference(a, b, 70, 95, 214, 22), 0.5);    // the menu unchanged
  EXPECT_GT(regionDifference(a, b, 176, 130, 412, 16), 1.0);  // the reason, under the plates
  EXPECT_GT(regionDifference(a, c, 70, 95, 214, 22), 2.0);    // "User: Greenback 4x12.flac"
  EXPECT_LT(regionDifference(a, c, 176, 130, 412, 16), 0.5);  // no message once loaded
}

// With a sine playing the needles stand high; when the signal stops they fall at 0.2 of full
// scale a second, and when it returns they jump back up at once.
TEST(EditorHost, MetersRiseAtOnceAndFallAFifthOfFullScaleASecond) {
  const std::string playing = scratch("meter-playing.png"), after1 = scratch("meter-1s.png"),
                    after2 = scratch("meter-2s.png"), back = scratch("meter-back.png");
  EditorRun r = runEditor("wait 700; shot " + playing + "; audio off; wait 1000; shot " + after1 +
                              "; wait 800; shot " + after2 + "; audio on; wait 200; shot " + back,
                          {"--audio", "sine"});
  // The times the host logged when it silenced the signal and when it took each picture.
  const long tOff = r.timeOf("] audio silenced"), t1 = r.timeOf("] captured " + after1),
             t2 = r.timeOf("] captured " + after2);
  ASSERT_GT(tOff, 0);
  auto value = [](const std::string& path) { return shownFrame(readPng(path), kMeterLeft) / 130.0; };
  const double v0 = value(playing), v1 = value(after1), v2 = value(after2), v3 = value(back);
  std::printf(
      "meter 1: %.3f playing, %.3f after %ld ms of silence, %.3f after %ld ms, %.3f 200 ms after the signal "
      "returned\n",
      v0, v1, t1 - tOff, v2, t2 - tOff, v3);
  EXPECT_GT(v0, 0.6);
  // Expected fall: 0.0002 per millisecond since the signal stopped (a few idle periods of
  // jitter allowed).
  EXPECT_NEAR(v0 - v1, 0.0002 * (t1 - tOff), 0.04) << v0 << " -> " << v1;
  EXPECT_NEAR(v1 - v2, 0.0002 * (t2 - t1), 0.04) << v1 << " -> " << v2;
  EXPECT_NEAR(v3, v0, 0.03);  // back up within 200 ms, where a fall takes seconds
  EXPECT_NEAR(shownFrame(readPng(playing), kMeterRight) / 130.0, v0, 0.05);
}

}  // namespace

namespace {

// Closing and reopening the window 200 times through the DLL: no memory or window stays
// behind, and the reopened editor shows the values current then.
TEST(EditorHost, TwoHundredReopeningsLeaveNothingBehindAndShowCurrentValues) {
  const std::string shotPath = scratch("reopened.png");
  EditorRun r = runEditor("reopen 5; param 0 0.8; param 6 0; reopen 200; print; shot " + shotPath);
  long before = -1, after = -1;
  int windowsBefore = -1, windowsAfter = -1;
  for (const std::string& l : r.lines) {
    const size_t at = l.find("reopened 200 times: ");
    if (at != std::string::npos)
      std::sscanf(l.c_str() + at,
                  "reopened 200 times: private memory %ld KB -> %ld KB, child windows %d -> %d", &before,
                  &after, &windowsBefore, &windowsAfter);
  }
  ASSERT_GT(before, 0) << r.run.err;
  std::printf("200 reopenings: private memory %ld KB -> %ld KB\n", before, after);
  // One leaked set of control pictures would be about 21 MB.
  EXPECT_LT(after - before, 4096);
  EXPECT_EQ(windowsBefore, 1);
  EXPECT_EQ(windowsAfter, 1);
  const Image shot = readPng(shotPath);
  EXPECT_LT(stripDifference(shot, kGain, frameFor(0.8f, kGain)), 3.0);
  EXPECT_LT(stripDifference(shot, kPower, 0, 13, 95), 3.0);
}

}  // namespace

namespace {

TEST(EditorScript, ReadsActionsFromLinesAndSemicolonsAndRefusesMistakes) {
  const std::vector<EditorAction> actions = parseEditorScript(
      "click 10 20 right ctrl  # a comment\n\n  drag 1 2 3 4; wheel 5 6 -2;menu 7 8 1\nparam 7 0.01\n"
      "drop 3 4 C:\\My Cabinets\\open back.wav");
  ASSERT_EQ(actions.size(), 6u);
  EXPECT_EQ(actions[5].kind, EditorAction::kDrop);
  EXPECT_EQ(actions[5].text, "C:\\My Cabinets\\open back.wav");
  EXPECT_EQ(actions[0].kind, EditorAction::kClick);
  EXPECT_TRUE(actions[0].rightButton && actions[0].control && !actions[0].shift);
  EXPECT_EQ(actions[0].source, "click 10 20 right ctrl");
  EXPECT_EQ(actions[1].kind, EditorAction::kDrag);
  EXPECT_EQ(actions[1].amount, 10);  // default steps
  EXPECT_EQ(actions[2].amount, -2);
  EXPECT_EQ(actions[3].kind, EditorAction::kMenu);
  EXPECT_EQ(actions[4].value, 0.01f);
  for (const char* wrong : {"jump 1 2", "click 1", "click 1 2 sideways", "param 7 2", "wait -1",
                            "audio maybe", "move 1 2 3", "wheel 1 2 x", "drop 1 2", "drop 1 file.wav"})
    EXPECT_THROW(parseEditorScript(wrong), HostError) << wrong;
}

}  // namespace
