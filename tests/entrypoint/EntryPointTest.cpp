// The built plug-in (Korvalite.so natively, Korvalite_64.dll under Wine) loaded the way a host
// loads it, by the host tool's loader: the entry point, the record, independent instances.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "plugin/VstInterface.h"
#include "tests/support/TestHost.h"
#include "tools/host/PluginModule.h"

namespace {

class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = std::make_unique<PluginModule>(KORVALITE_PLUGIN);
    entry = module->entryPoint();
  }
  static VstIntPtr send(AEffect* record, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                        void* ptr = nullptr, float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  std::unique_ptr<PluginModule> module;
  VstPluginMainProc entry = nullptr;
};

TEST_F(EntryPointTest, ExportsTheEntryPointAlsoAsMain) {
  void* main = module->lookUp("main");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main, reinterpret_cast<void*>(entry));
}

TEST_F(EntryPointTest, HostAnsweringNoVersionGetsNoEffect) {
  RecordingHost host;
  EXPECT_EQ(entry(RecordingHost::callback), nullptr);
  ASSERT_EQ(host.calls.size(), 1u);
  const HostCall& call = host.calls[0];
  EXPECT_EQ(call.effect, nullptr);
  EXPECT_EQ(call.opcode, audioMasterVersion);
  EXPECT_EQ(call.index, 0);
  EXPECT_EQ(call.value, 0);
  EXPECT_EQ(call.ptr, nullptr);
  EXPECT_EQ(call.opt, 0.0f);
  EXPECT_EQ(entry(nullptr), nullptr) << "no callback, no effect";
}

TEST_F(EntryPointTest, InstancesAreIndependentAndOutliveEachOther) {
  RecordingHost host;
  host.answers[audioMasterVersion] = 2400;
  AEffect* first = entry(RecordingHost::callback);
  AEffect* second = entry(RecordingHost::callback);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  for (AEffect* record : {first, second}) {
    EXPECT_EQ(record->magic, 0x56737450);
    EXPECT_NE(record->object, nullptr);
    EXPECT_EQ(record->uniqueID, 0x004B4F52);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->initialDelay, 14);
  }
  EXPECT_EQ(host.count(audioMasterVersion), 2);

  first->setParameter(first, 0, 0.9f);
  EXPECT_EQ(second->getParameter(second, 0), 0.5f);
  send(first, effSetProgram, 0, 7);
  EXPECT_EQ(send(second, effGetProgram), 0);

  EXPECT_EQ(send(first, effClose), 1);

  send(second, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  send(second, effMainsChanged, 0, 1);
  std::vector<float> in(512), out1(512), out2(512);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.5f * std::sin(0.13f * static_cast<float>(i));
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {out1.data(), out2.data()};
  for (int block = 0; block < 4; ++block) second->processReplacing(second, inputs, outputs, 512);
  float peak = 0.0f;
  for (float v : out1) {
    ASSERT_TRUE(std::isfinite(v));
    peak = std::fmax(peak, std::fabs(v));
  }
  EXPECT_GT(peak, 0.0f) << "the sine comes out";
  char name[32] = {};
  EXPECT_EQ(send(second, effGetEffectName, 0, 0, name), 1);
  EXPECT_STREQ(name, "Korvalite");
  second->setParameter(second, 2, 0.25f);
  EXPECT_EQ(second->getParameter(second, 2), 0.25f);
  EXPECT_EQ(send(second, effClose), 1);
}

}  // namespace
