// The host with the real Korvalite plug-in (the DLL under Wine, the Linux build natively): it
// loads through the entry point, identifies itself, and renders audio of the input's length
// with nothing but finite samples.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "effect/StateChunk.h"
#include "tests/support/HostTestSupport.h"

namespace {

const std::string kKorvalite = KORVALITE_PLUGIN;

TEST(Korvalite, InfoShowsItsIdentityAndNumbers) {
  HostRun r = runHost({"info", kKorvalite}, "ASAN_OPTIONS=detect_leaks=0");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line : {"unique id: 0x004B4F52 'KOR'\n", "inputs: 2\n", "outputs: 2\n", "parameters: 12\n",
                           "programs: 50\n", "initial delay: 14\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << "missing: " << line << "in:\n" << r.out;
}

TEST(Korvalite, RendersFiniteAudioOfTheInputsLength) {
  std::string dir = freshFolder("korvalite_render");
  Audio in = sineAudio(44100, 22050, {110.0, 220.0}, 0.5);
  writeAudio(dir + "/in.wav", in);
  HostRun r =
      runHost({"render", kKorvalite, dir + "/in.wav", dir + "/out.wav"}, "ASAN_OPTIONS=detect_leaks=0");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("korvalite-host: initial delay 14 samples\n"), std::string::npos) << r.err;
  Audio out = readAudio(dir + "/out.wav");
  ASSERT_EQ(out.channels, 2);
  ASSERT_EQ(out.frames(), in.frames());
  for (float s : out.samples) ASSERT_TRUE(std::isfinite(s));
}

// render --ir hands the response to the plug-in in its own program chunk, on User: a flat
// response (an impulse at another rate) plays differently from the default cabinet. A file the
// plug-in cannot use gives one line and a non-zero exit, and leaves no output.
TEST(Korvalite, RendersThroughAUserResponseAndRefusesAnUnusableOne) {
  std::string dir = freshFolder("korvalite_ir");
  writeAudio(dir + "/in.wav", sineAudio(44100, 11025, {110.0, 220.0}, 0.5));
  Audio impulse{1, 48000, std::vector<float>(2400, 0.0f)};
  impulse.samples[0] = 0.5f;
  writeAudio(dir + "/ir.wav", impulse);
  impulse.samples[0] = 0.0f;
  writeAudio(dir + "/silent.wav", impulse);
  const std::string env = "ASAN_OPTIONS=detect_leaks=0";
  ASSERT_EQ(runHost({"render", kKorvalite, dir + "/in.wav", dir + "/cab.wav"}, env).exitCode, 0);
  HostRun r = runHost({"render", kKorvalite, dir + "/in.wav", dir + "/user.wav", "--ir", dir + "/ir.wav",
                       "--save-chunk", dir + "/user.chunk"},
                      env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The project keeps the response under its file's name, as when the editor loads it.
  std::ifstream saved(dir + "/user.chunk", std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  StateChunk::Contents contents;
  ASSERT_TRUE(StateChunk::read(bytes.data(), static_cast<int64_t>(bytes.size()), true, contents));
  EXPECT_EQ(contents.responseName, "ir.wav");
  EXPECT_EQ(contents.response.size(), 2400u);
  const Audio cab = readAudio(dir + "/cab.wav"), user = readAudio(dir + "/user.wav");
  ASSERT_EQ(user.frames(), cab.frames());
  double difference = 0.0;
  for (size_t i = 0; i < user.samples.size(); ++i) {
    ASSERT_TRUE(std::isfinite(user.samples[i]));
    difference = std::fmax(difference, std::fabs(user.samples[i] - cab.samples[i]));
  }
  EXPECT_GT(difference, 0.01);
  r = runHost({"render", kKorvalite, dir + "/in.wav", dir + "/none.wav", "--ir", dir + "/silent.wav"}, env);
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(r.hostErrorLines().size(), 1u) << r.err;
  EXPECT_NE(r.err.find("the impulse response is silent"), std::string::npos) << r.err;
  EXPECT_FALSE(fileExists(dir + "/none.wav"));
}

}  // namespace
