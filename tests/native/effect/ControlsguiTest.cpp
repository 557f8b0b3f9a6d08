// Construction, identity, lifecycle and the parameter path, driven through the record.
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>
#include <utility>

#include "effect/StateChunk.h"
#include "tests/native/effect/EffectFixture.h"

int RecordingEditor::destroyed = 0;

namespace {

// The cabinet (index 11) starts on the open-back 2x12, the third of its six steps.
constexpr float kDefaults[kNumParams] = {0.5f, 0.5f, 0.5f, 1.0f, 0.5f, 0.5f,
                                         1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.4f};

TEST_F(EffectTest, ConstructionWithAHostGivesTheEffectsIdentity) {
  EXPECT_EQ(record->magic, kEffectMagic);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->uniqueID, 0x004B4F52);
  EXPECT_EQ(record->initialDelay, 14);
  EXPECT_EQ(record->flags, effFlagsCanReplacing | effFlagsProgramChunks)
      << "no editor yet: effFlagsHasEditor stays clear";
  EXPECT_EQ(record->numPrograms, 50);
  EXPECT_EQ(record->numParams, 12);
  EXPECT_EQ(record->version, 1);
  for (int i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(record->getParameter(record, i), kDefaults[i]) << "index " << i;
  }
  EXPECT_EQ(send(effGetProgram), 0);
  EXPECT_EQ(effect->getHostRate(), 44100.0f);
  EXPECT_EQ(effect->getInternalRate(), 192000.0f);
  EXPECT_FALSE(effect->isSecondChannelActive());
  EXPECT_EQ(effect->getEditor(), nullptr);
  EXPECT_TRUE(host.calls.empty()) << "construction asks the host nothing";
}

TEST(EffectWithoutHost, KeepsTheBaseRecordValues) {
  Controlsgui effect(nullptr);
  const AEffect* record = effect.getAeffect();
  EXPECT_EQ(record->numInputs, 1);
  EXPECT_EQ(record->uniqueID, 0x4E6F4566);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(effect.getParameter(kParamMix), 1.0f);
}

TEST_F(EffectTest, IdentityAndFixedAnswers) {
  char dummy64[64];
  EXPECT_EQ(text(effGetEffectName), "Korvalite");
  EXPECT_EQ(text(effGetProductString), "Korvalite");
  EXPECT_EQ(text(effGetVendorString), "https://korvalite.audio");
  char name[32];
  EXPECT_EQ(send(effGetEffectName, 0, 0, name), 1);
  EXPECT_EQ(send(effGetVendorString, 0, 0, dummy64), 1);
  EXPECT_EQ(send(effGetVendorVersion), 0);
  EXPECT_EQ(send(effGetVstVersion), 2400);
  EXPECT_EQ(send(effGetPlugCategory), 0);
  EXPECT_EQ(send(effGetNumMidiInputChannels), 1);
  EXPECT_EQ(send(effGetNumMidiOutputChannels), 0);
  EXPECT_EQ(send(effGetTailSize), 0);
  EXPECT_EQ(send(effVendorSpecific, vstFourCC('s', 't', 'C', 'A'), vstFourCC('W', 'h', 'e', 'e')), 0);
  EXPECT_EQ(send(effCanBeAutomated, 7), 1);
  char dummy[64] = {};
  EXPECT_EQ(send(effGetParameterProperties, 0, 0, dummy), 0);
  EXPECT_EQ(send(effProcessEvents, 0, 0, dummy), 0);
}

// What a host stores with a project comes back whole in another instance (on another machine):
// every program's values and name, the current program and the user's response itself; a
// program chunk carries the current program. A damaged chunk, or one of the other kind, is
// refused and changes nothing. (The battery fuzzes this far harder.)
TEST_F(EffectTest, ChunksCarryTheBankAndTheResponseAndRefuseDamage) {
  auto bytes = [](Controlsgui& e, bool program) {
    void* data = nullptr;
    const VstIntPtr size = e.dispatcher(effGetChunk, program ? 1 : 0, 0, &data, 0.0f);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + size);
  };
  send(effSetProgram, 0, 3);
  record->setParameter(record, kParamGain, 0.125f);
  record->setParameter(record, kParamCab, 1.0f);
  char name[] = "Mine";
  send(effSetProgramName, 0, 0, name);
  send(effSetProgram, 0, 12);
  std::vector<float> response(3000);
  for (size_t i = 0; i < response.size(); ++i) response[i] = std::sin(0.3f * i) * std::exp(-0.003f * i);
  ASSERT_TRUE(effect->setUserResponse(response.data(), 3000, 96000.0));
  std::vector<uint8_t> bank = bytes(*effect, false);

  Controlsgui other(RecordingHost::callback);
  std::vector<uint8_t> copy = bank;
  ASSERT_EQ(other.dispatcher(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data(), 0.0f), 1);
  EXPECT_EQ(bytes(other, false), bank) << "values, names, current program and response";
  EXPECT_EQ(other.getProgram(), 12);
  other.setProgram(3);
  EXPECT_EQ(other.getParameter(kParamGain), 0.125f);
  EXPECT_EQ(other.getParameter(kParamCab), 1.0f);

  std::vector<uint8_t> program = bytes(*effect, true);
  EXPECT_LT(program.size(), bank.size());
  other.setProgram(0);
  ASSERT_EQ(other.dispatcher(effSetChunk, 1, static_cast<VstIntPtr>(program.size()), program.data(), 0.0f),
            1);
  EXPECT_EQ(other.getParameter(kParamGain), 0.5f) << "program 12 holds the defaults";
  EXPECT_EQ(bytes(other, true), program);

  const std::vector<uint8_t> before = bytes(other, false);
  std::vector<uint8_t> damaged = bank;
  damaged[100] ^= 0x10;
  for (auto [data, size, preset] :
       {std::tuple{bank.data(), bank.size() - 1, false}, std::tuple{bank.data(), bank.size(), true},
        std::tuple{program.data(), program.size(), false},
        std::tuple{damaged.data(), damaged.size(), false}}) {
    EXPECT_EQ(other.dispatcher(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(size), data, 0.0f), 0);
    EXPECT_EQ(bytes(other, false), before);
  }
}

// The response's file name and the editor's scale come back with the project; a version 1 chunk
// (from before they were stored) still restores, without a name and at the default scale. A chunk
// whose name or scale is damaged, though its checksum is right, is refused and changes nothing.
TEST_F(EffectTest, ChunksCarryTheFileNameAndScaleAndStillTakeVersionOne) {
  auto bytes = [this] {
    void* data = nullptr;
    const VstIntPtr size = send(effGetChunk, 0, 0, &data);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + size);
  };
  auto give = [this](std::vector<uint8_t> c) {
    return send(effSetChunk, 0, static_cast<VstIntPtr>(c.size()), c.data());
  };
  auto put32 = [](std::vector<uint8_t>& c, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) c[at + k] = static_cast<uint8_t>(v >> (8 * k));
  };
  auto sign = [&put32](std::vector<uint8_t>& c) {
    put32(c, c.size() - 4, StateChunk::crc32(c.data(), c.size() - 4));
  };

  StateChunk::Contents contents;
  std::vector<uint8_t> own = bytes();
  ASSERT_TRUE(StateChunk::read(own.data(), static_cast<int64_t>(own.size()), true, contents));
  contents.response.assign(480, 0.0f);
  contents.response[3] = 0.5f;
  contents.responseRate = 48000.0;
  contents.responseName = "Vintage 30 \xE2\x80\x94 SM57.wav";
  contents.editorScale = 150;
  const std::vector<uint8_t> made = StateChunk::write(contents);
  ASSERT_EQ(give(made), 1);
  EXPECT_EQ(effect->getUserResponseName(), contents.responseName);
  EXPECT_EQ(effect->getEditorScale(), 150u);
  EXPECT_EQ(bytes(), made);

  // The same state as version 1 wrote it: no scale, no name.
  const size_t tail = 8 + contents.responseName.size();
  std::vector<uint8_t> v1(made.begin(), made.end() - static_cast<long>(tail + 4));
  v1.resize(v1.size() + 4);
  put32(v1, 4, 1);
  put32(v1, 8, static_cast<uint32_t>(v1.size()));
  sign(v1);
  ASSERT_EQ(give(v1), 1);
  EXPECT_EQ(effect->getUserResponseName(), "");
  EXPECT_EQ(effect->getEditorScale(), 0u) << "no size chosen: the editor follows the screen";
  std::vector<float> response;
  double rate = 0.0;
  ASSERT_TRUE(effect->getModel().cabinet().userSource(response, rate));
  EXPECT_EQ(response, contents.response);

  ASSERT_EQ(give(made), 1);
  const std::vector<uint8_t> before = bytes();
  const size_t scaleAt = made.size() - 4 - tail;
  const size_t nameAt = scaleAt + 8;
  std::vector<std::vector<uint8_t>> damaged;
  for (uint32_t scale : {1u, 49u, 401u, 0xFFFFFFFFu}) {
    damaged.push_back(made);
    put32(damaged.back(), scaleAt, scale);
  }
  for (const char* bad : {"\x01", "\n", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x80", "\x80"}) {
    damaged.push_back(made);
    std::memcpy(damaged.back().data() + nameAt, bad, std::strlen(bad));
  }
  damaged.push_back(made);
  put32(damaged.back(), scaleAt + 4, static_cast<uint32_t>(tail));  // a name longer than the chunk holds
  StateChunk::Contents nameless = contents;
  nameless.response.clear();
  damaged.push_back(StateChunk::write(nameless));  // a name without a response: written without one
  EXPECT_EQ(give(damaged.back()), 1) << "the writer drops a name that has no response";
  ASSERT_EQ(give(made), 1);
  damaged.back().insert(damaged.back().end() - 4, {'a'});
  put32(damaged.back(), 8, static_cast<uint32_t>(damaged.back().size()));
  put32(damaged.back(), damaged.back().size() - 9, 1);  // the name's length
  for (std::vector<uint8_t>& c : damaged) {
    sign(c);
    EXPECT_EQ(give(c), 0);
    EXPECT_EQ(bytes(), before);
  }

  // A name longer than a chunk holds is cut between two characters; bytes that are no character
  // are replaced, so whatever the writer makes the reader takes.
  std::string longName;
  for (int k = 0; k < 200; ++k) longName += "\xC3\xA9";  // é, two bytes each
  contents.responseName = longName + "\xFF\x01";
  StateChunk::Contents back;
  std::vector<uint8_t> cut = StateChunk::write(contents);
  ASSERT_TRUE(StateChunk::read(cut.data(), static_cast<int64_t>(cut.size()), true, back));
  EXPECT_EQ(back.responseName, longName.substr(0, 254));
  EXPECT_EQ(StateChunk::cleanName("a\xFF\x01"
                                  "b.wav"),
            "a??b.wav");
}

TEST_F(EffectTest, CanDoComparesExactly) {
  for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent"}) {
    EXPECT_EQ(send(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
  }
  for (const char* no :
       {"receiveVstEventsX", "ReceiveVstMidiEvent", "sendVstEvents", "bypass", "", "receiveVst"}) {
    EXPECT_EQ(send(effCanDo, 0, 0, const_cast<char*>(no)), -1) << no;
  }
}

// Hosts key stored settings and their generic controls by name and show the display text, so
// the names are distinct and the switches read as what the amp does with the value.
TEST_F(EffectTest, ParameterTexts) {
  const char* names[kNumParams] = {"Gain",  "Tone",  "Volume", "Mix",    "Meter 1", "Meter 2",
                                   "Power", "In Tr", "Out Tr", "Supply", "Tap",     "Cab"};
  for (VstInt32 i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(text(effGetParamName, i), names[i]);
    EXPECT_EQ(text(effGetParamLabel, i), "");
  }
  record->setParameter(record, kParamGain, 1.0f);
  record->setParameter(record, kParamVolume, 0.01f);
  EXPECT_EQ(text(effGetParamDisplay, kParamGain), "1.000");
  EXPECT_EQ(text(effGetParamDisplay, kParamVolume), "0.010");
  EXPECT_EQ(text(effGetParamDisplay, kParamTone), "0.500");
  // Each switch at the values around the model's own threshold.
  const struct {
    VstInt32 index;
    float value;
    const char* shown;
  } switches[] = {{kParamPower, 0.5f, "Off"},
                  {kParamPower, 0.51f, "On"},
                  {kParamInputTransformer, 0.009f, "Off"},
                  {kParamInputTransformer, 0.01f, "On"},
                  {kParamOutputTransformer, 0.0f, "Off"},
                  {kParamOutputTransformer, 0.001f, "On"},
                  {kParamPowerSupply, 0.0f, "Off"},
                  {kParamPowerSupply, 1.0f, "On"},
                  {kParamOutputTap, 0.0f, "Preamp"},
                  {kParamOutputTap, 0.5f, "Power"},
                  {kParamCab, 0.0f, "Off"},
                  {kParamCab, 0.09f, "Off"},
                  {kParamCab, 0.11f, "4x12"},
                  {kParamCab, 0.4f, "2x12"},
                  {kParamCab, 0.6f, "1x12"},
                  {kParamCab, 0.8f, "1x10"},
                  {kParamCab, 1.0f, "User"}};
  for (const auto& c : switches) {
    record->setParameter(record, c.index, c.value);
    EXPECT_EQ(text(effGetParamDisplay, c.index), c.shown) << c.index << " at " << c.value;
  }
  for (VstInt32 bad : {-1, 12, 1 << 30}) {
    EXPECT_EQ(text(effGetParamDisplay, bad), "");
    EXPECT_EQ(text(effGetParamName, bad), "");
  }
}

// A typed value is set through the one parameter path, and reported as set only when it was.
TEST_F(EffectTest, TypedParameterTextsSetTheValue) {
  auto parse = [this](VstInt32 index, const char* typed) {
    std::string copy = typed;
    return send(effString2Parameter, index, 0, copy.data());
  };
  EXPECT_EQ(parse(kParamGain, " 0.25 "), 1);
  EXPECT_EQ(effect->getParameter(kParamGain), 0.25f);
  EXPECT_EQ(parse(kParamVolume, "7"), 1);
  EXPECT_EQ(effect->getParameter(kParamVolume), 1.0f) << "kept within 0..1";
  EXPECT_EQ(parse(kParamPowerSupply, "on"), 1);
  EXPECT_EQ(text(effGetParamDisplay, kParamPowerSupply), "On");
  EXPECT_EQ(parse(kParamOutputTap, "Power"), 1);
  EXPECT_EQ(text(effGetParamDisplay, kParamOutputTap), "Power");
  EXPECT_EQ(parse(kParamPower, "OFF"), 1);
  EXPECT_EQ(effect->getParameter(kParamPower), 0.0f);
  for (const char* refused : {"", "  ", "loud", "0.5x", "nan", "inf", "on", "Power"}) {
    EXPECT_EQ(parse(kParamMix, refused), 0) << '"' << refused << '"';
  }
  EXPECT_EQ(parse(kParamOutputTap, "On"), 0) << "the tap's words are Preamp and Power";
  // The cabinet takes its names as it shows them, and numbers.
  EXPECT_EQ(parse(kParamCab, " 1x12 "), 1);
  EXPECT_EQ(text(effGetParamDisplay, kParamCab), "1x12");
  EXPECT_EQ(parse(kParamCab, "user"), 1);
  EXPECT_EQ(effect->getParameter(kParamCab), 1.0f);
  EXPECT_EQ(parse(kParamCab, "0"), 1);
  EXPECT_EQ(text(effGetParamDisplay, kParamCab), "Off");
  EXPECT_EQ(parse(kParamCab, "4x"), 0);
  EXPECT_EQ(parse(kParamCab, "On"), 0);
  EXPECT_EQ(parse(12, "0.5"), 0);
  EXPECT_EQ(send(effString2Parameter, kParamGain, 0, nullptr), 0);
  EXPECT_EQ(effect->getParameter(kParamMix), 1.0f) << "a refused text changes nothing";
  EXPECT_EQ(effect->getParameter(kParamGain), 0.25f);
}

TEST_F(EffectTest, TextsFitTheHostsBuffersExactly) {
  struct Case {
    VstInt32 opcode;
    VstInt32 index;
    size_t limit;
  };
  char longName[64];
  std::memset(longName, 'L', sizeof longName - 1);
  longName[sizeof longName - 1] = '\0';
  send(effSetProgramName, 0, 0, longName);
  const Case cases[] = {{effGetParamDisplay, 0, 8},        {effGetParamName, 0, 8},
                        {effGetParamLabel, 0, 8},          {effGetProgramName, 0, 24},
                        {effGetProgramNameIndexed, 0, 24}, {effGetEffectName, 0, 32},
                        {effGetVendorString, 0, 64},       {effGetProductString, 0, 64}};
  for (const Case& c : cases) {
    std::vector<char> buffer(c.limit + 8, '\x7f');
    send(c.opcode, c.index, 0, buffer.data());
    EXPECT_LT(std::strlen(buffer.data()), c.limit) << "opcode " << c.opcode;
    for (size_t i = c.limit; i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], '\x7f') << "opcode " << c.opcode << " wrote byte " << i;
    }
  }
  EXPECT_EQ(text(effGetProgramName), std::string(23, 'L'));
  // A cut never splits a UTF-8 character: one that does not fit whole is left out.
  for (const std::string& tail :
       {std::string("\xc3\xa9"), std::string("\xe2\x82\xac"), std::string("\xf0\x9f\x8e\xb8")}) {
    for (size_t ascii = 19; ascii <= 23; ++ascii) {
      const std::string typed = std::string(ascii, 'a') + tail + "z";
      send(effSetProgramName, 0, 0, const_cast<char*>(typed.c_str()));
      const std::string kept = text(effGetProgramName);
      const std::string expected = ascii + tail.size() > 23 ? std::string(ascii, 'a') : typed.substr(0, 23);
      EXPECT_EQ(kept, expected) << ascii << " + " << tail.size() << " bytes";
    }
  }
  // A direct call with the host's 8 bytes cannot overflow either, whatever the value.
  char display[8 + 8];
  std::memset(display, '\x7f', sizeof display);
  effect->getParameterDisplay(kParamGain, display);
  EXPECT_EQ(display[8], '\x7f');
}

TEST_F(EffectTest, HostInputOutsideTheRangesIsIgnored) {
  auto* editor = new RecordingEditor(effect);
  for (VstInt32 bad : {-1, 12, 1000}) {
    record->setParameter(record, bad, 0.25f);
    EXPECT_EQ(record->getParameter(record, bad), 0.0f);
  }
  record->setParameter(record, kParamGain, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(effect->getParameter(kParamGain), 0.5f);
  EXPECT_TRUE(editor->received.empty());

  record->setParameter(record, kParamGain, 1e30f);
  EXPECT_EQ(effect->getParameter(kParamGain), 1.0f) << "values stay within 0..1";
  record->setParameter(record, kParamGain, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(effect->getParameter(kParamGain), 0.0f);

  EXPECT_EQ(effect->getParameterPointer(-1), nullptr);
  EXPECT_EQ(effect->getParameterPointer(12), nullptr);
  ASSERT_NE(effect->getParameterPointer(10), nullptr);
  EXPECT_EQ(effect->getParameterPointer(10), effect->getParameterPointer(0) + 10);
  record->setParameter(record, kParamOutputTap, 0.01f);
  EXPECT_EQ(*effect->getParameterPointer(10), 0.01f);

  for (VstInt32 bad : {50, -1}) {
    effect->setProgram(bad);
    EXPECT_EQ(effect->getProgram(), 0);
  }
  EXPECT_FALSE(effect->copyCurrentProgram(50));
  EXPECT_FALSE(effect->copyCurrentProgram(-1));
}

TEST_F(EffectTest, EveryParameterChangeTakesTheSinglePath) {
  auto* editor = new RecordingEditor(effect);
  EXPECT_EQ(record->flags & effFlagsHasEditor, effFlagsHasEditor);
  const int before = effect->retunes;
  record->setParameter(record, kParamGain, 0.75f);
  record->setParameter(record, kParamMix, 0.25f);
  EXPECT_EQ(effect->retunes, before) << "only the tone retunes the filters";
  record->setParameter(record, kParamTone, 0.2f);
  EXPECT_EQ(effect->retunes, before + 1);
  // The editor hears every change although its window is closed.
  ASSERT_EQ(editor->received.size(), 3u);
  EXPECT_EQ(editor->received[2], std::make_pair(VstInt32{kParamTone}, 0.2f));

  effect->setParameterAutomated(kParamVolume, 0.3f);
  EXPECT_EQ(effect->getParameter(kParamVolume), 0.3f);
  ASSERT_NE(host.last(audioMasterAutomate), nullptr);
  EXPECT_EQ(host.last(audioMasterAutomate)->index, kParamVolume);
  EXPECT_EQ(host.last(audioMasterAutomate)->opt, 0.3f);
}

TEST_F(EffectTest, ResumeAsksForTheSecondInputAndForEvents) {
  send(effMainsChanged, 0, 1);
  ASSERT_NE(host.last(audioMasterPinConnected), nullptr);
  EXPECT_EQ(host.last(audioMasterPinConnected)->index, 1);
  EXPECT_EQ(host.last(audioMasterPinConnected)->value, 0);
  EXPECT_TRUE(effect->isSecondChannelActive()) << "the host answered 0: connected";
  ASSERT_EQ(host.count(audioMasterWantMidi), 1);
  EXPECT_EQ(host.last(audioMasterWantMidi)->value, 1);

  host.answers[audioMasterPinConnected] = 1;
  send(effMainsChanged, 0, 1);
  EXPECT_FALSE(effect->isSecondChannelActive());
  EXPECT_EQ(host.count(audioMasterWantMidi), 2);

  const size_t calls = host.calls.size();
  send(effMainsChanged, 0, 0);
  EXPECT_EQ(host.calls.size(), calls) << "suspend does nothing";
  EXPECT_FALSE(effect->isSecondChannelActive());
}

TEST_F(EffectTest, SampleRateRetunesWithoutTouchingTheInternalRate) {
  const int before = effect->retunes;
  send(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(effect->getHostRate(), 48000.0f);
  EXPECT_EQ(effect->getSampleRate(), 48000.0f);
  EXPECT_EQ(effect->getInternalRate(), 192000.0f);
  EXPECT_EQ(effect->retunes, before + 1);
  // Rates the model cannot run at change nothing anywhere: the base class, the model and the
  // reported delay keep agreeing.
  for (float absurd : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1.0f,
                       0.0f, 1e-30f, 500.0f, 1e9f}) {
    effect->setSampleRate(absurd);
    send(effSetSampleRate, 0, 0, nullptr, absurd);
    EXPECT_EQ(effect->getHostRate(), 48000.0f) << absurd;
    EXPECT_EQ(effect->getSampleRate(), 48000.0f) << absurd;
    EXPECT_EQ(record->initialDelay, 15) << absurd;
  }
}

TEST_F(EffectTest, ReportedLatencyFollowsTheSampleRate) {
  // The circuit's delay is fixed in time, so the host is told more samples at higher rates,
  // and told that it changed (hosts re-read the latency only then).
  int changes = 0;
  for (auto [rate, samples, changed] : {std::tuple{44100.0f, 14, false},
                                        {48000.0f, 15, true},
                                        {96000.0f, 18, true},
                                        {192000.0f, 25, true},
                                        {192000.0f, 25, false},
                                        {44100.0f, 14, true}}) {
    send(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(record->initialDelay, samples) << rate;
    changes += changed ? 1 : 0;
    EXPECT_EQ(host.count(audioMasterIOChanged), changes) << rate;
  }
}

TEST_F(EffectTest, ProcessingThroughTheRecordStaysFiniteAndBounded) {
  send(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  send(effMainsChanged, 0, 1);
  std::vector<float> left(512), right(512), outLeft(512, 9.0f), outRight(512, 9.0f);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
    right[i] = left[i];
  }
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  for (int block = 0; block < 8; ++block) {
    record->processReplacing(record, inputs, outputs, 512);
  }
  for (size_t i = 0; i < outLeft.size(); ++i) {
    ASSERT_TRUE(std::isfinite(outLeft[i]) && std::isfinite(outRight[i])) << i;
  }
  EXPECT_GE(*effect->getMeterLevel1(), 0.0f);
  EXPECT_LE(*effect->getMeterLevel1(), 1.0f);
  EXPECT_GT(*effect->getMeterLevel1(), 0.0f) << "a half-scale sine moves the meter";

  // A host that gives no second output buffer is served on one channel.
  float* oneOutput[2] = {outLeft.data(), nullptr};
  record->processReplacing(record, inputs, oneOutput, 512);
}

TEST(EffectLifetime, ClosingDestroysTheEditorExactlyOnce) {
  RecordingHost host;
  RecordingEditor::destroyed = 0;
  auto* effect = new Controlsgui(RecordingHost::callback);
  new RecordingEditor(effect);
  AEffect* record = effect->getAeffect();
  EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(RecordingEditor::destroyed, 1);
}

}  // namespace
