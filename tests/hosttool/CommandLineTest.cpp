// The host tool's argument parsing: what it accepts and, mostly, what it refuses.
#include <gtest/gtest.h>

#include "tools/host/CommandLine.h"
#include "tools/host/HostError.h"

namespace {

TEST(CommandLine, AcceptsOptionsAnywhereInBothForms) {
  CommandLine cl =
      parseCommandLine({"--rate=96000", "render", "p.so", "--block", "64", "in.wav", "--program", "3",
                        "--param", "2=0.25", "out.wav", "--param=0=1", "--", "--odd-name.wav"});
  EXPECT_EQ(cl.command, "render");
  EXPECT_EQ(cl.operands, (std::vector<std::string>{"p.so", "in.wav", "out.wav", "--odd-name.wav"}));
  EXPECT_EQ(cl.sampleRate, 96000.0);
  EXPECT_EQ(cl.blockSize, 64);
  EXPECT_EQ(cl.program, 3);
  ASSERT_EQ(cl.parameters.size(), 2u);
  EXPECT_EQ(cl.parameters[0].index, 2);
  EXPECT_EQ(cl.parameters[0].value, 0.25f);
  EXPECT_EQ(cl.parameters[1].index, 0);
  EXPECT_EQ(cl.parameters[1].value, 1.0f);
}

TEST(CommandLine, DefaultsLeaveThePluginsOwnSettings) {
  CommandLine cl = parseCommandLine({"info", "p.so"});
  EXPECT_EQ(cl.sampleRate, 0.0);
  EXPECT_EQ(cl.blockSize, 512);
  EXPECT_EQ(cl.program, -1);
  EXPECT_TRUE(cl.parameters.empty());
}

TEST(CommandLine, RefusesMalformedAndOutOfRangeValues) {
  const std::vector<std::vector<std::string>> bad = {
      {"render", "--rate"},
      {"render", "--rate", "fast"},
      {"render", "--rate", "0"},
      {"render", "--rate", "nan"},
      {"render", "--rate", "inf"},
      {"render", "--block", "0"},
      {"render", "--block", "12x"},
      {"render", "--block", "70000"},
      {"render", "--program", "-1"},
      {"render", "--program", "1.5"},
      {"render", "--param", "3"},
      {"render", "--param", "=0.5"},
      {"render", "--param", "x=0.5"},
      {"render", "--param", "-1=0.5"},
      {"render", "--param", "1=1.01"},
      {"render", "--param", "1=-0.1"},
      {"render", "--param", "1=nan"},
      {"render", "--param", "1="},
      {"render", "--verbose"},
  };
  for (const auto& args : bad) EXPECT_THROW(parseCommandLine(args), HostError) << args.back();
}

}  // namespace
