// The shell driven the way a host drives it: everything goes through the effect record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/support/TestHost.h"

namespace {

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestEffect::destroyed = 0;
    TestEditor::destroyed = 0;
    effect = new TestEffect(RecordingHost::callback);
    record = effect->getAeffect();
  }
  void TearDown() override {
    if (TestEffect::destroyed == 0) {
      delete effect;
    }
  }
  VstIntPtr send(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                 float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  RecordingHost host;
  TestEffect* effect = nullptr;
  AEffect* record = nullptr;
};

TEST_F(DispatcherTest, ConstructorFillsTheRecordWithTheBaseValues) {
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->numPrograms, TestEffect::kPrograms);
  EXPECT_EQ(record->numParams, TestEffect::kParams);
  EXPECT_EQ(record->numInputs, 1);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);
  EXPECT_EQ(record->uniqueID, 0x4E6F4566);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_EQ(record->object, static_cast<AudioEffect*>(effect));
  EXPECT_EQ(record->user, nullptr);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(record->resvd1, 0);
  const char zeros[sizeof record->future] = {};
  EXPECT_EQ(std::memcmp(record->future, zeros, sizeof zeros), 0);
  EXPECT_TRUE(host.calls.empty()) << "construction calls the host";
}

TEST_F(DispatcherTest, RecordFunctionsReachTheEffect) {
  std::vector<float> in(4, 0.25f), out(4, 0.0f);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {out.data(), out.data()};
  record->processReplacing(record, inputs, outputs, 4);
  EXPECT_EQ(out[3], 0.5f);
  record->setParameter(record, 2, 0.75f);
  EXPECT_EQ(effect->lastParameter, std::make_pair(2, 0.75f));
  EXPECT_EQ(record->getParameter(record, 2), 0.0f);  // the base answer
  record->process(record, inputs, outputs, 4);       // the base does nothing
}

TEST_F(DispatcherTest, IdentifyAnswersNvEfWhateverTheArguments) {
  char buffer[8] = {};
  EXPECT_EQ(send(effIdentify), 0x4E764566);
  EXPECT_EQ(send(effIdentify, -5, 99, buffer, 3.0f), 0x4E764566);
}

TEST_F(DispatcherTest, CloseThroughTheRecordDestroysEffectAndEditorOnce) {
  new TestEditor(effect);
  EXPECT_EQ(effect->dispatcher(effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(TestEffect::destroyed, 0);
  EXPECT_EQ(effect->log.back(), "close");

  EXPECT_EQ(send(effClose), 1);
  EXPECT_EQ(TestEffect::destroyed, 1);
  EXPECT_EQ(TestEditor::destroyed, 1);
}

TEST_F(DispatcherTest, MainsChangedResumesOnAnyNonZeroValue) {
  send(effMainsChanged, 0, 5);
  send(effMainsChanged, 0, 0);
  EXPECT_EQ(effect->log, (std::vector<std::string>{"resume", "suspend"}));
  ASSERT_EQ(host.count(audioMasterWantMidi), 1);
  EXPECT_EQ(host.last(audioMasterWantMidi)->value, 1);
  EXPECT_EQ(host.last(audioMasterWantMidi)->effect, record);

  effect->takesMidi = 0;  // neither MIDI nor a synth: no request
  send(effMainsChanged, 0, 1);
  EXPECT_EQ(host.count(audioMasterWantMidi), 1);
  effect->isSynth(true);
  send(effMainsChanged, 0, 1);
  EXPECT_EQ(host.count(audioMasterWantMidi), 2);
}

TEST_F(DispatcherTest, SetProgramOutsideTheBankIsIgnored) {
  for (VstIntPtr program : {VstIntPtr{TestEffect::kPrograms}, VstIntPtr{-1}, VstIntPtr{1} << 40}) {
    EXPECT_EQ(send(effSetProgram, 0, program), 0);
  }
  EXPECT_TRUE(effect->log.empty());
  send(effSetProgram, 0, TestEffect::kPrograms - 1);
  EXPECT_EQ(send(effGetProgram), TestEffect::kPrograms - 1);
}

TEST_F(DispatcherTest, EditorOpcodesWithoutAnEditorAnswerZeroAndTouchNothing) {
  ERect sentinel{};
  ERect* rect = &sentinel;
  EXPECT_EQ(send(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, &sentinel);
  int window = 0;
  for (VstInt32 opcode :
       {effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp, effSetEditKnobMode}) {
    EXPECT_EQ(send(opcode, 'a', 1, &window, 1.0f), 0) << opcode;
  }
}

TEST_F(DispatcherTest, EditorOpcodesReachTheEditor) {
  auto* editor = new TestEditor(effect);
  EXPECT_EQ(record->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* rect = nullptr;
  EXPECT_EQ(send(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->rect);
  EXPECT_EQ(send(effEditGetRect), 0) << "null out-pointer";
  int window = 0;
  EXPECT_EQ(send(effEditOpen, 0, 0, nullptr), 0) << "no parent window";
  EXPECT_EQ(send(effEditOpen, 0, 0, &window), 1);
  EXPECT_TRUE(editor->isOpen());
  send(effEditIdle);
  EXPECT_EQ(editor->idles, 1);

  EXPECT_EQ(send(effEditKeyDown, 'q', 12, nullptr, 3.0f), 1);
  EXPECT_EQ(editor->lastKey.character, 'q');
  EXPECT_EQ(editor->lastKey.virt, 12);
  EXPECT_EQ(editor->lastKey.modifier, 3);
  EXPECT_EQ(send(effEditKeyUp, 'r', 0, nullptr, std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(editor->lastKey.character, 'r');
  EXPECT_EQ(editor->lastKey.modifier, 0) << "a modifier that is no byte becomes 0";
  EXPECT_EQ(send(effSetEditKnobMode, 0, 2), 1);
  EXPECT_EQ(editor->knobMode, 2);
  send(effEditClose);
  EXPECT_FALSE(editor->isOpen());

  effect->setEditor(nullptr);
  EXPECT_EQ(record->flags & effFlagsHasEditor, 0);
  delete editor;
}

TEST_F(DispatcherTest, ExtendedOpcodesGiveTheirFixedAnswers) {
  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* input = &dummy;
  VstSpeakerArrangement* output = &dummy;
  EXPECT_EQ(send(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
  EXPECT_EQ(input, nullptr);
  EXPECT_EQ(output, nullptr);

  struct Expectation {
    VstInt32 opcode;
    VstIntPtr value;
    VstIntPtr answer;
  };
  const Expectation expectations[] = {
      {effGetVstVersion, 0, 2400},
      {effGetPlugCategory, 0, 0},
      {effGetVendorVersion, 0, 0},
      {effVendorSpecific, 7, 0},
      {effGetCurrentMidiProgram, 0, -1},
      {effGetNumMidiInputChannels, 0, 0},
      {effGetNumMidiOutputChannels, 0, 0},
      {effSetTotalSampleToProcess, 4096, 4096},
      {effCanBeAutomated, 0, 1},
      {effGetTailSize, 0, 0},
      {effSetBypass, 1, 0},
      {effStartProcess, 0, 0},
      {effStopProcess, 0, 0},
      {effBeginSetProgram, 0, 0},
      {effHasMidiProgramsChanged, 0, 0},
      {effSetProcessPrecision, 1, 0},
      {effSetPanLaw, 0, 0},
      {effGetChunk, 0, 0},
      {effGetVu, 0, 0},
  };
  for (const Expectation& e : expectations) {
    EXPECT_EQ(send(e.opcode, 0, e.value), e.answer) << "opcode " << e.opcode;
  }
  effect->isSynth(true);
  EXPECT_EQ(send(effGetPlugCategory), kPlugCategSynth);
}

TEST_F(DispatcherTest, UnknownAndPassedOnOpcodesAnswerZeroAndDoNothing) {
  char buffer[64] = "untouched";
  for (VstInt32 opcode :
       {80, 81, 100, 1000, -1, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57}) {
    EXPECT_EQ(send(opcode, 1, 1, buffer, 1.0f), 0) << "opcode " << opcode;
  }
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_TRUE(effect->log.empty());
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(effect->getBlockSize(), 1024) << "effSetBlockSizeAndSampleRate is passed on, not applied";
}

// The test effect writes 73 characters into every text it is asked for.
TEST_F(DispatcherTest, TextAnswersNeverPassTheHostsLimit) {
  struct Text {
    VstInt32 opcode;
    size_t limit;
  };
  const Text texts[] = {{effGetProgramName, 24},  {effGetParamLabel, 8},          {effGetParamDisplay, 8},
                        {effGetParamName, 8},     {effGetProgramNameIndexed, 24}, {effGetEffectName, 32},
                        {effGetVendorString, 64}, {effGetProductString, 64}};
  for (const Text& t : texts) {
    std::vector<char> buffer(t.limit + 16, '\x7f');
    send(t.opcode, 0, 0, buffer.data());
    EXPECT_EQ(std::strlen(buffer.data()), t.limit - 1) << "opcode " << t.opcode;
    EXPECT_EQ(std::string(buffer.data()), std::string(TestEffect::kLongText, t.limit - 1));
    for (size_t i = t.limit; i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], '\x7f') << "opcode " << t.opcode << " wrote byte " << i;
    }
  }
}

TEST_F(DispatcherTest, RefusedProgramNameLeavesTheBufferAsItWas) {
  char buffer[24] = "as it was";
  EXPECT_EQ(send(effGetProgramNameIndexed, TestEffect::kPrograms, 0, buffer), 0);
  EXPECT_STREQ(buffer, "as it was");
  EXPECT_EQ(send(effGetProgramNameIndexed, 1, 0, buffer), 1);
}

TEST_F(DispatcherTest, ProgramNameFromTheHostIsReadOnlyUpToItsLimit) {
  // Exactly 30 bytes without a terminator: ASan reports any read past them.
  std::vector<char> name(30, 'n');
  send(effSetProgramName, 0, 0, name.data());
  EXPECT_EQ(effect->programName, std::string(23, 'n'));
}

TEST_F(DispatcherTest, NullPointersAreIgnored) {
  for (VstInt32 opcode : {effSetProgramName,
                          effGetProgramName,
                          effGetParamLabel,
                          effGetParamDisplay,
                          effGetParamName,
                          effGetChunk,
                          effSetChunk,
                          effProcessEvents,
                          effString2Parameter,
                          effGetProgramNameIndexed,
                          effGetInputProperties,
                          effGetOutputProperties,
                          effOfflineNotify,
                          effOfflinePrepare,
                          effOfflineRun,
                          effProcessVarIo,
                          effSetSpeakerArrangement,
                          effGetEffectName,
                          effGetVendorString,
                          effGetProductString,
                          effCanDo,
                          effGetParameterProperties,
                          effGetMidiProgramName,
                          effGetMidiProgramCategory,
                          effGetMidiKeyName,
                          effGetSpeakerArrangement,
                          effShellGetNextPlugin,
                          effBeginLoadBank,
                          effBeginLoadProgram}) {
    EXPECT_EQ(send(opcode, 1, 0, nullptr), 0) << "opcode " << opcode;
  }
  EXPECT_EQ(effect->programName, "");
}

TEST_F(DispatcherTest, SampleRateThatIsNoRateIsIgnored) {
  for (float rate :
       {0.0f, -48000.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    send(effSetSampleRate, 0, 0, nullptr, rate);
  }
  EXPECT_EQ(effect->getSampleRate(), 44100.0f);
  send(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(effect->getSampleRate(), 48000.0f);
}

TEST(RecordFunctions, RecordWithoutAnEffectGetsNeutralAnswers) {
  RecordingHost host;
  auto* effect = new TestEffect(RecordingHost::callback);
  AEffect copy = *effect->getAeffect();
  copy.object = nullptr;
  EXPECT_EQ(copy.dispatcher(&copy, effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(copy.getParameter(&copy, 0), 0.0f);
  EXPECT_EQ(copy.dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
  delete effect;
}

}  // namespace
