// The native host with real third-party VST 2.4 plug-ins that Debian packages
// (dpf-plugins-vst, lsp-plugins-vst). LeakSanitizer is off for these runs: leaks inside those
// libraries are not ours to fix, and the host's own cleanliness is checked with our effect.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/support/HostTestSupport.h"

namespace {

const std::string kEq = "/usr/lib/vst/3BandEQ-vst.so";
const std::string kLspDelayStereo = "/usr/lib/vst/lsp-plugins/comp-delay-stereo.so";
const std::string kLspDelayMono = "/usr/lib/vst/lsp-plugins/comp-delay-mono.so";
const char* const kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0";

#define REQUIRE_PLUGIN(path) \
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not installed (make setup)"

double maxDifference(const Audio& a, const Audio& b) {
  double worst = 0.0;
  for (size_t i = 0; i < a.samples.size() && i < b.samples.size(); ++i)
    worst = std::max(worst, std::fabs(static_cast<double>(a.samples[i]) - b.samples[i]));
  return worst;
}

double rmsDb(const Audio& a, int channel, size_t from) {
  double sum = 0.0;
  for (size_t n = from; n < a.frames(); ++n) sum += static_cast<double>(a.at(n, channel)) * a.at(n, channel);
  return 10.0 * std::log10(sum / static_cast<double>(a.frames() - from));
}

TEST(ThirdPartyInfo, ListsTheParametersOfDpfThreeBandEq) {
  REQUIRE_PLUGIN(kEq);
  HostRun r = runHost({"info", kEq}, kNoLeakCheck);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("parameters: 6\n"), std::string::npos) << r.out;
  for (const char* p :
       {"  0: name \"Low\" label \"dB\"", "  1: name \"Mid\" label \"dB\"", "  2: name \"High\" label \"dB\"",
        "  3: name \"Master\" label \"dB\"", "  4: name \"Low-Mid Freq\"", "  5: name \"Mid-High Freq\""})
    EXPECT_NE(r.out.find(p), std::string::npos) << "missing: " << p << "\n" << r.out;
}

TEST(ThirdPartyInfo, ListsTheParametersOfAnLspPlugin) {
  REQUIRE_PLUGIN(kLspDelayStereo);
  HostRun r = runHost({"info", kLspDelayStereo}, kNoLeakCheck);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("vendor: \"LSP VST\"\n"), std::string::npos) << r.out;
  for (const char* p :
       {"  0: name \"bypass\"", "  7: name \"time\" label \"ms\"", "  10: name \"g_out\" label \"dB\""})
    EXPECT_NE(r.out.find(p), std::string::npos) << "missing: " << p << "\n" << r.out;
}

// At their defaults (all bands 0 dB; zero delay, wet 0 dB, output 0 dB) both plug-ins pass a
// stereo sine through unchanged: within 1e-6 (-120 dB below full scale) on every sample.
TEST(ThirdPartyRender, TransparentSettingsPassASineUnchanged) {
  for (const std::string& plugin : {kEq, kLspDelayStereo}) {
    REQUIRE_PLUGIN(plugin);
    std::string dir = freshFolder("third_party_transparent");
    Audio in = sineAudio(48000, 48000, {1000.0, 250.0}, 0.5);
    writeAudio(dir + "/in.wav", in);
    HostRun r = runHost({"render", plugin, dir + "/in.wav", dir + "/out.wav"}, kNoLeakCheck);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("korvalite-host: initial delay 0 samples\n"), std::string::npos) << r.err;
    Audio out = readAudio(dir + "/out.wav");
    ASSERT_EQ(out.channels, 2);
    ASSERT_EQ(out.frames(), in.frames());
    EXPECT_LT(maxDifference(in, out), 1e-6) << plugin;
  }
}

// The EQ's master gain at 0.25 displays "-12.000000" dB; the rendered sine comes out at that
// level within 0.1 dB (RMS after the first 0.1 s).
TEST(ThirdPartyRender, MasterGainMatchesThePluginsOwnDisplay) {
  REQUIRE_PLUGIN(kEq);
  HostRun info = runHost({"info", kEq, "--param", "3=0.25"}, kNoLeakCheck);
  ASSERT_NE(info.out.find("  3: name \"Master\" label \"dB\" display \"-12.000000\""), std::string::npos)
      << info.out;
  std::string dir = freshFolder("third_party_gain");
  Audio in = sineAudio(48000, 48000, {1000.0, 250.0}, 0.5);
  writeAudio(dir + "/in.wav", in);
  HostRun r = runHost({"render", kEq, dir + "/in.wav", dir + "/out.wav", "--param", "3=0.25"}, kNoLeakCheck);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Audio out = readAudio(dir + "/out.wav");
  for (int c = 0; c < 2; ++c)
    EXPECT_NEAR(rmsDb(out, c, 4800) - rmsDb(in, c, 4800), -12.0, 0.1) << "channel " << c;
}

// A mono plug-in takes the first channel of a stereo file (saying so) and gives a mono file.
TEST(ThirdPartyRender, MonoPluginGivesMonoOutput) {
  REQUIRE_PLUGIN(kLspDelayMono);
  std::string dir = freshFolder("third_party_mono");
  Audio in = sineAudio(48000, 4800, {1000.0, 250.0}, 0.5);
  writeAudio(dir + "/in.wav", in);
  HostRun r = runHost({"render", kLspDelayMono, dir + "/in.wav", dir + "/out.wav"}, kNoLeakCheck);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("has 2 channels; the plug-in takes 1"), std::string::npos) << r.err;
  Audio out = readAudio(dir + "/out.wav");
  ASSERT_EQ(out.channels, 1);
  ASSERT_EQ(out.frames(), in.frames());
  for (size_t n = 0; n < out.frames(); ++n) ASSERT_NEAR(out.at(n, 0), in.at(n, 0), 1e-6) << "frame " << n;
}

}  // namespace
