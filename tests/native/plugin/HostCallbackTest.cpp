// What the effect sends to the host, how it reads the answers, and the helpers effects use.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/TestHost.h"

namespace {

TEST(HostCallbacks, AutomationAppliesTheValueThenReportsIt) {
  RecordingHost host;
  TestEffect effect(RecordingHost::callback);
  effect.setParameterAutomated(2, 0.25f);
  EXPECT_EQ(effect.lastParameter, std::make_pair(2, 0.25f));
  ASSERT_EQ(host.calls.size(), 1u);
  const HostCall& call = host.calls[0];
  EXPECT_EQ(call.effect, effect.getAeffect());
  EXPECT_EQ(call.opcode, audioMasterAutomate);
  EXPECT_EQ(call.index, 2);
  EXPECT_EQ(call.value, 0);
  EXPECT_EQ(call.opt, 0.25f);
}

TEST(HostCallbacks, WrappersPassTheirArgumentsWhereTheHostExpectsThem) {
  RecordingHost host;
  TestEffect effect(RecordingHost::callback);
  char text[8] = {};
  int file = 0;
  effect.beginEdit(3);
  effect.endEdit(4);
  effect.sizeWindow(640, 480);
  effect.getTimeInfo(0x0f00);
  effect.offlineStart(reinterpret_cast<VstAudioFile*>(&file), 5, 6);
  effect.offlineRead(reinterpret_cast<VstOfflineTask*>(&file), 9, true);
  effect.hostVendorSpecific(1, 2, &file, 3.5f);
  effect.setOutputSamplerate(96000.0f);
  effect.getHostVendorString(text);

  auto expect = [&](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const HostCall* call = host.last(opcode);
    ASSERT_NE(call, nullptr) << "opcode " << opcode;
    EXPECT_EQ(call->effect, effect.getAeffect());
    EXPECT_EQ(call->index, index) << "opcode " << opcode;
    EXPECT_EQ(call->value, value) << "opcode " << opcode;
    EXPECT_EQ(call->ptr, ptr) << "opcode " << opcode;
    EXPECT_EQ(call->opt, opt) << "opcode " << opcode;
  };
  expect(audioMasterBeginEdit, 3, 0, nullptr, 0.0f);
  expect(audioMasterEndEdit, 4, 0, nullptr, 0.0f);
  expect(audioMasterSizeWindow, 640, 480, nullptr, 0.0f);
  expect(audioMasterGetTime, 0, 0x0f00, nullptr, 0.0f);
  expect(audioMasterOfflineStart, 6, 5, &file, 0.0f);
  expect(audioMasterOfflineRead, 1, 9, &file, 0.0f);
  expect(audioMasterVendorSpecific, 1, 2, &file, 3.5f);
  expect(audioMasterSetOutputSampleRate, 0, 0, nullptr, 96000.0f);
  expect(audioMasterGetVendorString, 0, 0, text, 0.0f);

  const size_t before = host.calls.size();
  EXPECT_FALSE(effect.openFileSelector(nullptr));
  EXPECT_FALSE(effect.getChunkFile(nullptr));
  EXPECT_EQ(host.calls.size(), before) << "null records are not sent";
}

TEST(HostCallbacks, AnswersAreConvertedAsEachWrapperDefines) {
  RecordingHost host;
  TestEffect effect(RecordingHost::callback);
  // Unanswered: version falls back to 1, pins count as connected.
  EXPECT_EQ(effect.getMasterVersion(), 1);
  EXPECT_TRUE(effect.isInputConnected(1));
  EXPECT_EQ(host.last(audioMasterPinConnected)->index, 1);
  EXPECT_EQ(host.last(audioMasterPinConnected)->value, 0);
  EXPECT_TRUE(effect.isOutputConnected(0));
  EXPECT_EQ(host.last(audioMasterPinConnected)->value, 1);

  host.answers = {{audioMasterVersion, 2400},    {audioMasterPinConnected, 1},
                  {audioMasterCanDo, 7},         {audioMasterGetSampleRate, 48000},
                  {audioMasterGetBlockSize, -5}, {audioMasterOfflineGetCurrentPass, 3}};
  EXPECT_EQ(effect.getMasterVersion(), 2400);
  EXPECT_FALSE(effect.isInputConnected(1));
  EXPECT_EQ(effect.canHostDo("sizeWindow"), 1);
  EXPECT_EQ(effect.updateSampleRate(), 48000.0);
  EXPECT_EQ(effect.updateBlockSize(), 1024) << "a non-positive block size is not taken";
  EXPECT_EQ(effect.offlineGetCurrentPass(), 1);
}

TEST(HostCallbacks, WithoutAHostNothingIsSentAndAnswersAreNeutral) {
  RecordingHost host;
  TestEffect effect(nullptr);
  EXPECT_EQ(effect.getMasterVersion(), 1);
  EXPECT_EQ(effect.getCurrentUniqueId(), 0);
  EXPECT_TRUE(effect.isInputConnected(1));
  EXPECT_FALSE(effect.beginEdit(0));
  EXPECT_EQ(effect.canHostDo("offline"), 0);
  EXPECT_EQ(effect.getTimeInfo(0), nullptr);
  effect.setParameterAutomated(0, 1.0f);
  effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
  effect.masterIdle();
  EXPECT_TRUE(host.calls.empty());
}

TEST(SpeakerArrangements, AllocationCopiesAndRefusals) {
  TestEffect effect(nullptr);
  VstSpeakerArrangement* from = nullptr;
  ASSERT_TRUE(effect.allocateArrangement(&from, 12));  // more than the declared eight
  EXPECT_EQ(from->numChannels, 12);
  VstSpeakerProperties* speakers = from->speakers;
  EXPECT_EQ(speakers[11].type, 0);
  from->type = 5;
  for (int i = 0; i < 12; ++i) {
    speakers[i].azimuth = static_cast<float>(i);
    std::memset(speakers[i].name, 'x', sizeof speakers[i].name);  // unterminated
  }

  VstSpeakerArrangement* keep = from;
  EXPECT_FALSE(effect.allocateArrangement(&keep, -1));
  EXPECT_EQ(keep, from) << "a refused allocation leaves the old arrangement";

  VstSpeakerArrangement* to = nullptr;
  ASSERT_TRUE(effect.matchArrangement(&to, from));
  EXPECT_EQ(to->type, 5);
  EXPECT_EQ(to->numChannels, 12);
  EXPECT_EQ(to->speakers[0].azimuth, 0.0f);
  VstSpeakerProperties* copied = to->speakers;
  EXPECT_EQ(copied[11].azimuth, 11.0f);
  EXPECT_EQ(std::string(copied[11].name), std::string(63, 'x'));
  EXPECT_TRUE(effect.matchArrangement(&to, to)) << "matching itself keeps it";
  EXPECT_EQ(to->numChannels, 12);

  EXPECT_FALSE(effect.matchArrangement(&to, nullptr));
  EXPECT_FALSE(effect.copySpeaker(nullptr, copied));
  EXPECT_TRUE(effect.deallocateArrangement(&to));
  EXPECT_EQ(to, nullptr);
  effect.deallocateArrangement(&from);
}

TEST(NumberTexts, FormatsFitTheirBuffers) {
  TestEffect effect(nullptr);
  auto f2s = [&](float v, VstInt32 len = 32) {
    char text[32];
    effect.float2string(v, text, len);
    return std::string(text);
  };
  EXPECT_EQ(f2s(1.5f), "1.50");
  EXPECT_EQ(f2s(12345.678f, 6), "12346") << "decimals give way to the integer part";
  EXPECT_EQ(f2s(1234567.0f, 6), "Huge!");
  EXPECT_EQ(f2s(std::numeric_limits<float>::infinity()), "Huge!");
  char text[32];
  effect.int2string(100000000, text, 32);
  EXPECT_STREQ(text, "Huge!");
  effect.int2string(-42, text, 32);
  EXPECT_STREQ(text, "-42");
  effect.dB2string(0.0f, text, 32);
  EXPECT_STREQ(text, "-oo");
  effect.Hz2string(441.0f, text, 32);
  EXPECT_STREQ(text, "100.00");

  // Guard bytes behind a buffer of each small size.
  for (VstInt32 len = 1; len <= 8; ++len) {
    std::vector<char> buffer(len + 8, '\x7f');
    effect.float2string(-1234.5678f, buffer.data(), len);
    effect.int2string(-1234567, buffer.data(), len);
    for (size_t i = static_cast<size_t>(len); i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], '\x7f') << "size " << len;
    }
    EXPECT_LT(std::strlen(buffer.data()), static_cast<size_t>(len));
  }
}

}  // namespace
