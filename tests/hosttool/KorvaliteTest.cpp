// The host with the real Korvalite plug-in (the DLL under Wine, the Linux build natively): it
// loads through the entry point, identifies itself, and renders audio of the input's length
// with nothing but finite samples.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/HostTestSupport.h"

namespace {

const std::string kKorvalite = KORVALITE_PLUGIN;

TEST(Korvalite, InfoShowsItsIdentityAndNumbers) {
  HostRun r = runHost({"info", kKorvalite}, "ASAN_OPTIONS=detect_leaks=0");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line : {"unique id: 0x004B4F52 'KOR'\n", "inputs: 2\n", "outputs: 2\n", "parameters: 12\n",
                           "programs: 50\n", "initial delay: 4\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << "missing: " << line << "in:\n" << r.out;
}

TEST(Korvalite, RendersFiniteAudioOfTheInputsLength) {
  std::string dir = freshFolder("korvalite_render");
  Audio in = sineAudio(44100, 22050, {110.0, 220.0}, 0.5);
  writeAudio(dir + "/in.wav", in);
  HostRun r =
      runHost({"render", kKorvalite, dir + "/in.wav", dir + "/out.wav"}, "ASAN_OPTIONS=detect_leaks=0");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("korvalite-host: initial delay 4 samples\n"), std::string::npos) << r.err;
  Audio out = readAudio(dir + "/out.wav");
  ASSERT_EQ(out.channels, 2);
  ASSERT_EQ(out.frames(), in.frames());
  for (float s : out.samples) ASSERT_TRUE(std::isfinite(s));
}

}  // namespace
