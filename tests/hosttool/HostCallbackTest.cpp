// The host callback's answers, called the way a plug-in calls it.
#include <gtest/gtest.h>

#include <cstring>

#include "tools/host/HostCallback.h"

namespace {

VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0.0f) {
  static AEffect record{};
  return HostCallback::callback(&record, opcode, index, value, ptr, opt);
}

TEST(HostCallback, AnswersTheVersionEvenBeforeAnyEffectOrHostExists) {
  // VSTPluginMain asks with a null effect, possibly before the host has set anything up.
  EXPECT_EQ(HostCallback::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(HostCallback::callback(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 0);
  HostCallback host;
  EXPECT_EQ(HostCallback::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
}

TEST(HostCallback, AnswersRateBlockAndPinsAsConfigured) {
  HostCallback host;
  host.setSampleRate(96000.0);
  host.setBlockSize(128);
  host.setConnectedPins(1, 2);
  EXPECT_EQ(call(audioMasterGetSampleRate), 96000);
  EXPECT_EQ(call(audioMasterGetBlockSize), 128);
  // 0 means connected: input 0, outputs 0 and 1; not input 1, output 2 or a negative pin.
  EXPECT_EQ(call(audioMasterPinConnected, 0, 0), 0);
  EXPECT_EQ(call(audioMasterPinConnected, 1, 0), 1);
  EXPECT_EQ(call(audioMasterPinConnected, 1, 1), 0);
  EXPECT_EQ(call(audioMasterPinConnected, 2, 1), 1);
  EXPECT_EQ(call(audioMasterPinConnected, -1, 1), 1);
}

TEST(HostCallback, LogsAutomationAndEditGesturesOnStderr) {
  HostCallback host;
  testing::internal::CaptureStderr();
  call(audioMasterBeginEdit, 3);
  EXPECT_EQ(call(audioMasterAutomate, 3, 0, nullptr, 0.25f), 0);
  call(audioMasterEndEdit, 3);
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log,
            "korvalite-host: plug-in begins editing parameter 3\n"
            "korvalite-host: plug-in automates parameter 3 = 0.25\n"
            "korvalite-host: plug-in ends editing parameter 3\n");
  EXPECT_EQ(host.automationCount(), 1);
}

TEST(HostCallback, CanDoStringsAndUnknownOpcodes) {
  HostCallback host;
  char accept[] = "acceptIOChanges", events[] = "sendVstEvents";
  EXPECT_EQ(call(audioMasterCanDo, 0, 0, accept), 1);
  EXPECT_EQ(call(audioMasterCanDo, 0, 0, events), 0);
  EXPECT_EQ(call(audioMasterCanDo, 0, 0, nullptr), 0);
  EXPECT_EQ(call(audioMasterGetTime), 0);  // no time info: plug-ins must accept null
  EXPECT_EQ(call(audioMasterProcessEvents), 0);
  EXPECT_EQ(call(12345), 0);
  EXPECT_EQ(call(-1), 0);
}

TEST(HostCallback, IoChangesAreReportedOnce) {
  HostCallback host;
  EXPECT_FALSE(host.takeIoChanged());
  EXPECT_EQ(call(audioMasterIOChanged), 1);
  EXPECT_TRUE(host.takeIoChanged());
  EXPECT_FALSE(host.takeIoChanged());
}

TEST(HostCallback, StringAnswersStayWithinThePublishedLengths) {
  HostCallback host;
  char vendor[80], product[80];
  std::memset(vendor, 'x', sizeof vendor);
  std::memset(product, 'x', sizeof product);
  EXPECT_EQ(call(audioMasterGetVendorString, 0, 0, vendor), 1);
  EXPECT_EQ(call(audioMasterGetProductString, 0, 0, product), 1);
  EXPECT_STREQ(vendor, "Korvalite");
  EXPECT_STREQ(product, "korvalite-host");
  EXPECT_EQ(vendor[kVstMaxVendorStrLen], 'x');
  EXPECT_EQ(call(audioMasterGetVendorString), 0);  // null buffer: nothing written
}

}  // namespace
