// Korvalite_64.dll loaded as a Windows host loads it: LoadLibrary, GetProcAddress, the
// entry point, the record.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <vector>

#include "plugin/VstInterface.h"

namespace {

int versionCalls = 0;
VstIntPtr versionAnswer = 0;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) {
    ++versionCalls;
    return versionAnswer;
  }
  return 0;
}

VstIntPtr send(AEffect* record, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0.0f) {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

class DllLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryW(L"Korvalite_64.dll");
    ASSERT_NE(module, nullptr) << "error " << GetLastError();
    // Through void*: FARPROC and the entry point's type are unrelated function types.
    entry =
        reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
    ASSERT_NE(entry, nullptr);
    versionCalls = 0;
  }
  void TearDown() override {
    if (module != nullptr) {
      FreeLibrary(module);
    }
  }
  HMODULE module = nullptr;
  VstPluginMainProc entry = nullptr;
};

TEST_F(DllLoadTest, MainIsTheSameEntryPoint) {
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "main")), reinterpret_cast<void*>(entry));
}

TEST_F(DllLoadTest, HostWithoutAVersionGetsNoEffect) {
  versionAnswer = 0;
  EXPECT_EQ(entry(hostCallback), nullptr);
  EXPECT_EQ(versionCalls, 1);
}

TEST_F(DllLoadTest, TwoInstancesProcessAndCloseIndependently) {
  versionAnswer = 2400;
  AEffect* first = entry(hostCallback);
  AEffect* second = entry(hostCallback);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  for (AEffect* record : {first, second}) {
    EXPECT_EQ(record->magic, kEffectMagic);
    EXPECT_EQ(record->uniqueID, 0x004B4F52);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->initialDelay, 4);
  }
  char name[32] = {};
  EXPECT_EQ(send(first, effGetEffectName, 0, 0, name), 1);
  EXPECT_STREQ(name, "Korvalite");
  first->setParameter(first, 0, 0.9f);
  EXPECT_EQ(second->getParameter(second, 0), 0.5f);
  EXPECT_EQ(send(first, effClose), 1);

  send(second, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  send(second, effMainsChanged, 0, 1);
  std::vector<float> in(512), outLeft(512), outRight(512);
  for (size_t i = 0; i < in.size(); ++i) {
    in[i] = 0.5f * std::sin(0.13f * static_cast<float>(i));
  }
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  for (int block = 0; block < 4; ++block) {
    second->processReplacing(second, inputs, outputs, 512);
  }
  float peak = 0.0f;
  for (float v : outLeft) {
    ASSERT_TRUE(std::isfinite(v));
    peak = std::fmax(peak, std::fabs(v));
  }
  EXPECT_GT(peak, 0.0f) << "the sine comes out";
  EXPECT_EQ(send(second, effClose), 1);
}

}  // namespace
