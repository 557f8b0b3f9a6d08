// The bank of fifty programs: names, the naming rule, switching and copying.
#include <cstring>

#include "tests/native/effect/EffectFixture.h"

namespace {

TEST_F(EffectTest, FreshBankHoldsEightFactoryProgramsAndDefaults) {
  const char* factory[] = {"Clean",           "Crunch",         "Drive",     "Lead", "Power Amp Crunch",
                           "Power Amp Drive", "Parallel Drive", "Warm Clean"};
  for (VstInt32 i = 0; i < 50; ++i) {
    EXPECT_EQ(text(effGetProgramNameIndexed, i), i >= 1 && i <= 8 ? factory[i - 1] : "Default") << i;
  }
  EXPECT_EQ(text(effGetProgramName), "Default");
  EXPECT_EQ(effect->getParameter(kParamGain), 0.5f) << "program 0 is current, with the defaults";
  send(effSetProgram, 0, 4);
  EXPECT_EQ(effect->getParameter(kParamGain), 1.0f);
  EXPECT_EQ(effect->getParameter(kParamPowerSupply), 1.0f);
  send(effSetProgram, 0, 9);
  EXPECT_EQ(effect->getParameter(kParamGain), 0.5f);
  EXPECT_EQ(effect->getParameter(kParamPowerSupply), 0.0f);
  for (VstInt32 bad : {50, -1}) {
    char buffer[24] = "as it was";
    EXPECT_EQ(send(effGetProgramNameIndexed, bad, 0, buffer), 0);
    EXPECT_STREQ(buffer, "as it was");
  }
}

TEST_F(EffectTest, InitProgramsAreNumberedInTheIndexedList) {
  send(effSetProgram, 0, 6);
  char init[] = "Init";
  send(effSetProgramName, 0, 0, init);
  EXPECT_EQ(text(effGetProgramNameIndexed, 6), "Init 7");
  EXPECT_EQ(text(effGetProgramName), "Init") << "the current name is given as stored";
  send(effSetProgram, 0, 49);
  send(effSetProgramName, 0, 0, init);
  EXPECT_EQ(text(effGetProgramNameIndexed, 49), "Init 50");

  for (const char* other : {"Init ", "Initial", "init", "INIT"}) {
    send(effSetProgramName, 0, 0, const_cast<char*>(other));
    EXPECT_EQ(text(effGetProgramNameIndexed, 49), other);
  }
}

TEST_F(EffectTest, SwitchingProgramsRestoresTheirValuesThroughTheSinglePath) {
  send(effSetProgram, 0, 13);
  record->setParameter(record, kParamGain, 0.9f);
  record->setParameter(record, kParamOutputTap, 0.01f);
  send(effSetProgram, 0, 14);
  EXPECT_EQ(effect->getParameter(kParamGain), 0.5f);
  EXPECT_EQ(effect->getParameter(kParamOutputTap), 0.0f);

  auto* editor = new RecordingEditor(effect);
  const int retunes = effect->retunes;
  send(effSetProgram, 0, 13);
  EXPECT_EQ(effect->getParameter(kParamGain), 0.9f);
  EXPECT_EQ(effect->getParameter(kParamOutputTap), 0.01f);
  EXPECT_EQ(effect->retunes, retunes + 1) << "a switch retunes the tone filter once";
  ASSERT_EQ(editor->received.size(), static_cast<size_t>(kNumParams));
  for (VstInt32 i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(editor->received[i].first, i) << "values are sent in index order";
  }
  EXPECT_EQ(editor->received[kParamGain].second, 0.9f);
}

TEST_F(EffectTest, CopyAndStoreWriteOnlyWhatTheySay) {
  char name[] = "Crunch";
  send(effSetProgramName, 0, 0, name);
  record->setParameter(record, kParamGain, 0.8f);
  ASSERT_TRUE(effect->copyCurrentProgram(5));
  EXPECT_EQ(text(effGetProgramNameIndexed, 5), "Crunch");
  send(effSetProgram, 0, 5);
  EXPECT_EQ(effect->getParameter(kParamGain), 0.8f);

  // Live values changed behind the bank's back are written in; the name stays.
  *effect->getParameterPointer(kParamVolume) = 0.125f;
  effect->storeCurrentParameters();
  send(effSetProgram, 0, 0);
  send(effSetProgram, 0, 5);
  EXPECT_EQ(effect->getParameter(kParamVolume), 0.125f);
  EXPECT_EQ(text(effGetProgramName), "Crunch");
}

}  // namespace
