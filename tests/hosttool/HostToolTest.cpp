// The host driving our own test effect (whose output is defined exactly, see
// tests/support/TestEffect.cpp), and the host's handling of bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/HostTestSupport.h"

namespace {

const std::string kEffect = KORVALITE_TEST_EFFECT;
constexpr int kDelay = 7;  // the test effect's fixed delay

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

// out_L[n] = g * in_L[n-7], out_R[n] = sR * g * in_R[n-7] (mono input feeds both channels).
void expectEffectOutput(const Audio& in, const Audio& out, float gain, float rightSign) {
  ASSERT_EQ(out.channels, 2);
  ASSERT_EQ(out.frames(), in.frames());
  for (size_t n = 0; n < out.frames(); ++n) {
    for (int c = 0; c < 2; ++c) {
      float source = n < kDelay ? 0.0f : in.at(n - kDelay, in.channels == 1 ? 0 : c);
      float expected = (c == 1 ? rightSign : 1.0f) * gain * source;
      ASSERT_EQ(out.at(n, c), expected) << "frame " << n << " channel " << c;
    }
  }
}

TEST(HostInfo, DescribesIdentityNumbersParametersProgramsAndCanDos) {
  HostRun r = runHost({"info", kEffect});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line :
       {"effect name: \"Korvalite Test Effect\"\n", "vendor: \"Korvalite\"\n",
        "product: \"Host test effect\"\n", "unique id: 0x4B765465 'KvTe'\n", "vendor version: 1000\n",
        "vst version: 2400\n", "category: 1 (effect)\n", "inputs: 2\n", "outputs: 2\n", "parameters: 2\n",
        "programs: 2\n", "flags: 0x10 canReplacing\n",
        // The effect announces its delay when switched on.
        "initial delay: 7 (0 before switching on)\n",
        "  0: name \"Gain\" label \"x\" display \"1.00\" value 0.5\n",
        "  1: name \"Invert\" label \"\" display \"off\" value 0\n",
        // The effect has no indexed program names: the host reads them by switching programs
        // and must switch back to the current one.
        "  0: \"Unity\" (current)\n", "  1: \"Half inverted\"\n", "  bypass: no\n",
        "  receiveVstTimeInfo: no\n", "  sendVstEvents: don't know\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << "missing: " << line << "in:\n" << r.out;
}

TEST(HostInfo, ShowsTheSelectedProgramAndParameterSettings) {
  HostRun r = runHost({"info", kEffect, "--program", "1", "--param", "0=0.75"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  0: name \"Gain\" label \"x\" display \"1.50\" value 0.75\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  1: name \"Invert\" label \"\" display \"on\" value 1\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  1: \"Half inverted\" (current)\n"), std::string::npos) << r.out;
}

TEST(HostInfo, FindsTheEntryPointUnderTheOlderNameMain) {
  HostRun r = runHost({"info", KORVALITE_TEST_EFFECT_MAIN});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("unique id: 0x4B765465 'KvTe'\n"), std::string::npos);
}

TEST(HostRender, AppliesTheProgramsGainDelayAndPolarityExactly) {
  std::string dir = freshFolder("render_program");
  Audio in = sineAudio(48000, 48000, {1000.0, 441.0}, 0.8);
  writeAudio(dir + "/in.wav", in);
  HostRun r =
      runHost({"render", kEffect, dir + "/in.wav", dir + "/out.wav", "--program", "1", "--block", "100"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Audio out = readAudio(dir + "/out.wav");
  EXPECT_EQ(out.rate, 48000);
  expectEffectOutput(in, out, 0.5f, -1.0f);
  // The delay is announced when the effect is switched on; the host reports it after that.
  EXPECT_NE(r.err.find("korvalite-host: initial delay 7 samples\n"), std::string::npos) << r.err;
  // What the host answered the effect: rate and block as set, every pin it feeds connected (0),
  // the pin beyond them not (1), IO changes accepted.
  EXPECT_NE(r.err.find("test effect: created at 48000 rate 48000/48000 block 100/100 pins in 0 0 1 out 0 0 1 "
                       "acceptIOChanges 1\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(filesIn(dir).size(), 2u) << "temporary file left behind";
}

TEST(HostRender, MonoInputFeedsBothInputsAndParametersOverrideTheProgram) {
  std::string dir = freshFolder("render_mono");
  Audio in = sineAudio(44100, 10000, {220.0}, 0.3);
  writeAudio(dir + "/in.wav", in);
  HostRun r = runHost({"render", kEffect, dir + "/in.wav", dir + "/out.aiff", "--program", "1", "--param",
                       "0=1", "--param", "1=0"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  expectEffectOutput(in, readAudio(dir + "/out.aiff"), 2.0f, 1.0f);
}

TEST(HostRender, OutputDoesNotDependOnTheBlockSize) {
  std::string dir = freshFolder("render_blocks");
  writeAudio(dir + "/in.wav", sineAudio(48000, 5000, {300.0, 700.0}, 0.5));
  Audio reference;
  for (const char* block : {"4096", "1", "13", "512"}) {
    std::string out = dir + "/out" + block + ".wav";
    HostRun r = runHost({"render", kEffect, dir + "/in.wav", out, "--block", block});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Audio a = readAudio(out);
    if (reference.samples.empty())
      reference = a;
    else
      EXPECT_EQ(a.samples, reference.samples) << "block " << block;
  }
}

const std::string kCompressed = "/out.flac";  // both builds' libsndfile write FLAC

TEST(HostRender, RateOptionIsWhatThePluginAndTheOutputFileGet) {
  std::string dir = freshFolder("render_rate");
  writeAudio(dir + "/in.wav", sineAudio(48000, 2000, {300.0, 700.0}, 0.5));
  HostRun r = runHost({"render", kEffect, dir + "/in.wav", dir + kCompressed, "--rate=96000"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("test effect: created at 96000 rate 96000/96000 block 512/512"), std::string::npos)
      << r.err;
  Audio out = readAudio(dir + kCompressed);
  EXPECT_EQ(out.rate, 96000);
  EXPECT_EQ(out.frames(), 2000u);
}

// Every failure: non-zero exit, one line on stderr, nothing on stdout, and the folder holding
// exactly what it held before (no output, no temporary file, an earlier output untouched).
struct FailureCase {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the test's folder
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class HostFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(HostFailure, GivesOneLineNonZeroExitAndLeavesNoOutput) {
  std::string dir = freshFolder(std::string("failure_") + GetParam().name);
  writeAudio(dir + "/in.wav", sineAudio(48000, 3000, {1000.0, 500.0}, 0.5));
  writeText(dir + "/text.wav", "this is not audio\n");
  writeText(dir + "/text.so", "this is not a plug-in\n");
  writeText(dir + "/earlier.wav", "an earlier output\n");
  std::filesystem::create_directory(dir + "/folder.wav");
  auto before = filesIn(dir);
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    if (a.rfind("@", 0) == 0) a = dir + a.substr(1);
    args.push_back(a);
  }
  HostRun r = runHost(args);
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(r.hostErrorLines().size(), 1u) << r.err;
  EXPECT_EQ(r.err.rfind("korvalite-host: ", 0), 0u) << r.err;
  EXPECT_EQ(r.out, "");
  auto after = filesIn(dir);
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
  std::ifstream earlier(dir + "/earlier.wav");
  std::string text;
  std::getline(earlier, text);
  EXPECT_EQ(text, "an earlier output");
}

const std::string kNull = KORVALITE_NULL_EFFECT;
#ifdef _WIN32
// A real library that is no plug-in.
const std::string kOtherLibrary = "C:/windows/system32/version.dll";
#else
const std::string kOtherLibrary = "/lib/x86_64-linux-gnu/libm.so.6";
#endif

INSTANTIATE_TEST_SUITE_P(
    Cases, HostFailure,
    ::testing::Values(
        FailureCase{"missing_plugin", {"info", "@/missing.so"}},
        FailureCase{"text_plugin", {"render", "@/text.so", "@/in.wav", "@/earlier.wav"}},
        FailureCase{"library_without_entry", {"info", kOtherLibrary}},
        FailureCase{"entry_creates_nothing", {"render", kNull, "@/in.wav", "@/earlier.wav"}},
        FailureCase{"plugin_is_folder", {"info", "@"}},
        FailureCase{"missing_input", {"render", kEffect, "@/missing.wav", "@/out.wav"}},
        FailureCase{"input_not_audio", {"render", kEffect, "@/text.wav", "@/out.wav"}},
        FailureCase{"program_out_of_range",
                    {"render", kEffect, "@/in.wav", "@/earlier.wav", "--program", "2"}},
        FailureCase{"info_program_out_of_range", {"info", kEffect, "--program", "2"}},
        FailureCase{"param_out_of_range",
                    {"render", kEffect, "@/in.wav", "@/earlier.wav", "--param", "2=0.5"}},
        FailureCase{"param_value_outside_0_1",
                    {"render", kEffect, "@/in.wav", "@/out.wav", "--param", "0=1.5"}},
        FailureCase{"output_folder_missing", {"render", kEffect, "@/in.wav", "@/missing/out.wav"}},
        FailureCase{"output_is_a_folder", {"render", kEffect, "@/in.wav", "@/folder.wav"}},
        FailureCase{"output_format_unknown", {"render", kEffect, "@/in.wav", "@/out.mp3"}},
        FailureCase{"unknown_option", {"render", kEffect, "@/in.wav", "@/out.wav", "--speed", "2"}},
        FailureCase{"bad_block", {"render", kEffect, "@/in.wav", "@/out.wav", "--block", "0"}},
        FailureCase{"bad_param_syntax", {"render", kEffect, "@/in.wav", "@/out.wav", "--param", "1"}},
        FailureCase{"operand_missing", {"render", kEffect, "@/in.wav"}},
        FailureCase{"unknown_command", {"play", kEffect}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
