// Group 1: call order and dispatcher fuzz. Scripted orders real hosts use (or get wrong), a host
// answering 0 or null to everything, a seeded random walk through the dispatcher with hostile
// indices, values, pointers and floats, processing a guarded block between calls, and damaged
// project chunks (cut, flipped, re-signed with lying fields, grown, of the other kind). The
// plug-in must neither crash nor trip a sanitizer, must keep its output finite and must leave
// the host's floating-point control state as it found it.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "effect/StateChunk.h"
#include "tests/reliability/harness/Analysis.h"
#include "tests/reliability/harness/PluginHost.h"
#ifdef _WIN32
#include "tests/support/HostWindow.h"
#endif

#ifndef KORVALITE_FUZZ_CALLS
#define KORVALITE_FUZZ_CALLS 1000000
#endif

using namespace reliability;

namespace {

constexpr int kBlock = 64;

void processSine(const Instance& effect, StereoBuffers& audio, int frames, long long start = 0) {
  float** in = audio.in(frames);
  fillSine(in[0], frames, 440.0, 44100.0, 0.5f, start);
  fillSine(in[1], frames, 660.0, 44100.0, 0.5f, start);
  float** out = audio.out(frames);
  effect.process(in, out, frames);
  ASSERT_TRUE(allFinite(out[0], frames));
  ASSERT_TRUE(allFinite(out[1], frames));
}

struct Step {
  const char* what;
  VstInt32 opcode;  // -1: process a block
  VstIntPtr value;
  float opt;
};

// Orders hosts really send: each script starts from a freshly created instance.
const std::vector<std::vector<Step>> kScripts = {
    {{"open twice", effOpen, 0, 0}, {"", effOpen, 0, 0}, {"", effMainsChanged, 1, 0}, {"", -1, 0, 0}},
    {{"editor before open", effEditGetRect, 0, 0},
     {"", effEditIdle, 0, 0},
     {"", effEditClose, 0, 0},
     {"", effEditClose, 0, 0},
     {"", effEditIdle, 0, 0}},
    {{"process before open and resume", -1, 0, 0}, {"", effOpen, 0, 0}, {"", -1, 0, 0}},
    {{"process after suspend", effOpen, 0, 0},
     {"", effMainsChanged, 1, 0},
     {"", -1, 0, 0},
     {"", effMainsChanged, 0, 0},
     {"", -1, 0, 0},
     {"", -1, 0, 0}},
    {{"rate and block size while running", effOpen, 0, 0},
     {"", effMainsChanged, 1, 0},
     {"", -1, 0, 0},
     {"", effSetSampleRate, 0, 96000},
     {"", -1, 0, 0},
     {"", effSetBlockSize, 16, 0},
     {"", -1, 0, 0},
     {"", effSetSampleRate, 0, 8000},
     {"", -1, 0, 0},
     {"", effSetBlockSize, 0, 0},
     {"", -1, 0, 0}},
    {{"suspend and resume around transport stops", effOpen, 0, 0},
     {"", effMainsChanged, 1, 0},
     {"", -1, 0, 0},
     {"", effStopProcess, 0, 0},
     {"", effMainsChanged, 0, 0},
     {"", effMainsChanged, 1, 0},
     {"", effStartProcess, 0, 0},
     {"", -1, 0, 0},
     {"", effMainsChanged, 0, 0},
     {"", effMainsChanged, 0, 0},
     {"", effMainsChanged, 1, 0},
     {"", effMainsChanged, 1, 0},
     {"", -1, 0, 0}},
    {{"resume without open, close while resumed", effMainsChanged, 1, 0}, {"", -1, 0, 0}},
};

void runScript(const std::vector<Step>& script, StereoBuffers& audio) {
  Instance effect(plugin().create());
  ASSERT_TRUE(effect);
  long long t = 0;
  for (const Step& s : script) {
    const FpState before = hostDefaultFpState();
    writeFpState(before);
    if (s.opcode < 0) {
      processSine(effect, audio, kBlock, t);
      t += kBlock;
    } else {
      effect.dispatch(s.opcode, 0, s.value, nullptr, s.opt);
    }
    ASSERT_EQ(readFpState(), before) << script.front().what;
  }
  // Instance's destructor sends effMainsChanged 0 and effClose, whatever state it is in.
}

TEST(CallOrder, ScriptedOrdersWithAPlainHost) {
  StereoBuffers audio(kBlock);
  for (const auto& script : kScripts) {
    SCOPED_TRACE(script.front().what);
    runScript(script, audio);
  }
  figure("1 call order", format("%zu scripts with a plain host, no fault", kScripts.size()));
}

TEST(CallOrder, AHostAnsweringZeroToEverything) {
  StereoBuffers audio(kBlock);
  host().mode = static_cast<int>(HostMode::kSilent);
  // A host that does not even give its version gets no effect, and nothing breaks.
  EXPECT_EQ(plugin().create(), nullptr);
  EXPECT_EQ(plugin().create(nullptr), nullptr);
  host().mode = static_cast<int>(HostMode::kPlain);
  for (const auto& script : kScripts) {
    SCOPED_TRACE(script.front().what);
    Instance effect(plugin().create());
    ASSERT_TRUE(effect);
    host().mode = static_cast<int>(HostMode::kSilent);
    long long t = 0;
    for (const Step& s : script) {
      if (s.opcode < 0) {
        processSine(effect, audio, kBlock, t);
        t += kBlock;
      } else {
        effect.dispatch(s.opcode, 0, s.value, nullptr, s.opt);
      }
    }
    // Edits reported to a host that answers nothing.
    for (int i = 0; i < effect.record()->numParams; ++i) effect.setParameter(i, 0.25f);
    effect.close();
    host().mode = static_cast<int>(HostMode::kPlain);
  }
}

// Processing calls a careless host makes: null buffer arrays, a null channel, negative and zero
// frame counts, the older accumulating entry and the double-precision one the plug-in does not
// announce. Nothing is written where it should not be, and the next proper block is finite.
TEST(CallOrder, HostileProcessingCalls) {
  Instance effect = Instance::started();
  ASSERT_TRUE(effect);
  StereoBuffers audio(kBlock);
  AEffect* record = effect.record();
  float** in = audio.in(kBlock);
  float** out = audio.out(kBlock);
  float* noSecond[2] = {out[0], nullptr};
  float* noneIn[2] = {nullptr, nullptr};
  record->processReplacing(record, nullptr, nullptr, kBlock);
  record->processReplacing(record, in, nullptr, kBlock);
  record->processReplacing(record, nullptr, out, kBlock);
  record->processReplacing(record, noneIn, out, kBlock);
  record->processReplacing(record, in, noSecond, kBlock);
  record->processReplacing(record, in, out, -1);
  record->processReplacing(record, in, out, INT_MIN);
  record->processReplacing(record, in, out, 0);
  record->process(record, in, out, kBlock);
  record->process(record, nullptr, nullptr, kBlock);
  if (record->processDoubleReplacing != nullptr) {
    record->processDoubleReplacing(record, nullptr, nullptr, kBlock);
  }
  processSine(effect, audio, kBlock);
  figure("1 call order",
         "null buffer arrays and channels, -1, INT_MIN and 0 frames, the accumulating and double "
         "entries: no fault, next block finite");
}

// ---- Random part ----

// The published length of what an opcode writes or reads through ptr; the "small" pointer of
// the fuzz is a buffer of exactly that size, ending at a guard page.
size_t smallSize(VstInt32 opcode) {
  switch (opcode) {
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      return kVstMaxParamStrLen;
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return kVstMaxProgNameLen;
    case effGetEffectName:
      return kVstMaxEffectNameLen;
    case effGetVendorString:
    case effGetProductString:
    case effShellGetNextPlugin:
      return kVstMaxVendorStrLen;
    case effEditGetRect:
    case effGetChunk:
      return sizeof(void*);
    default:
      return 512;  // room for any record of the interface
  }
}

// ptr is text the plug-in reads: the fuzz gives terminated text.
bool readsText(VstInt32 opcode) {
  return opcode == effSetProgramName || opcode == effCanDo || opcode == effString2Parameter;
}

// value is a pointer the plug-in may follow.
bool valueIsPointer(VstInt32 opcode) {
  return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
}

// The host's wheel request: effVendorSpecific with these as index and value.
constexpr VstInt32 kStCA = vstFourCC('s', 't', 'C', 'A');
constexpr VstIntPtr kWhee = vstFourCC('W', 'h', 'e', 'e');

uint64_t fuzzSeed() {
  const char* s = std::getenv("KORVALITE_SEED");
  return s != nullptr ? std::strtoull(s, nullptr, 0) : 20261207ull;
}

TEST(DispatcherFuzz, SeededRandomCallsNeitherCrashNorPoison) {
  const uint64_t seed = fuzzSeed();
  const long calls = static_cast<long>(KORVALITE_FUZZ_CALLS) * soakFactor();
  Rng rng(seed);
  GuardedBuffer small(4096);
  GuardedBuffer large(65536);
  GuardedBuffer pointerValue(4096);
  StereoBuffers audio(kBlock);
  Instance effect = Instance::started();
  ASSERT_TRUE(effect);
#ifdef _WIN32
  // Under Wine the editor is open for most of the walk, so the editor opcodes (idle, keys, the
  // host's wheel, knob mode, draw, close) meet a live window; a close is undone now and then.
  HWND parent = makeEditorParent();
  ASSERT_NE(parent, nullptr);
  bool editorOpen = effect.dispatch(effEditOpen, 0, 0, parent) == 1;
  long reopened = 0;
  auto pump = [] {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  };
#endif
  const int numParams = effect.record()->numParams;
  const int numPrograms = effect.record()->numPrograms;
  constexpr VstInt32 kLowest = -4;
  constexpr VstInt32 kHighest = effGetNumMidiOutputChannels + 8;
  const float opts[] = {INFINITY, -INFINITY, NAN, 0.0f, 1.0f};
  std::set<VstInt32> opcodes;
  long processed = 0;
  long long t = 0;
  const double start = wallSeconds();
  for (long call = 0; call < calls; ++call) {
    VstInt32 opcode;
    do {
      opcode = kLowest + static_cast<VstInt32>(rng.below(kHighest - kLowest + 1));
    } while (opcode == effClose || opcode == effEditOpen);
    const int n = rng.below(2) != 0 ? numParams : numPrograms;
    const VstInt32 indices[] = {-1, 0, n - 1, n, INT_MAX, static_cast<VstInt32>(rng.next()), kStCA};
    const VstInt32 index = indices[rng.below(opcode == effVendorSpecific ? 7 : 6)];
    void* ptr = nullptr;
    switch (rng.below(3)) {
      case 0:
        break;
      case 1: {
        const size_t size = smallSize(opcode);
        char* p = small.at(size);
        std::memset(p, 0, size);
        if (readsText(opcode)) {
          for (size_t i = 0; i + 1 < size; ++i) p[i] = static_cast<char>('a' + rng.below(26));
        }
        ptr = p;
        break;
      }
      default: {
        char* p = large.at(65536);
        std::memset(p, 0, 256);
        ptr = p;
        break;
      }
    }
    VstIntPtr value;
    if (valueIsPointer(opcode)) {
      char* p = pointerValue.at(4096);
      std::memset(p, 0, 4096);
      value = rng.below(2) != 0 ? reinterpret_cast<VstIntPtr>(p) : 0;
    } else {
      const VstIntPtr values[] = {0, 1, -1, n, INT_MAX, static_cast<VstIntPtr>(rng.below(1u << 20)), kWhee};
      value = values[rng.below(opcode == effVendorSpecific ? 7 : 6)];
    }
    const float opt = opts[rng.below(5)];
    const FpState before = hostDefaultFpState();
    writeFpState(before);
    effect.dispatch(opcode, index, value, ptr, opt);
    ASSERT_EQ(readFpState(), before) << "opcode " << opcode;
    opcodes.insert(opcode);
#ifdef _WIN32
    if (opcode == effEditClose) editorOpen = false;
    if (call % 1024 == 1023 && !editorOpen) {
      editorOpen = effect.dispatch(effEditOpen, 0, 0, parent) == 1;
      ++reopened;
    }
    if (call % 64 == 0) pump();
#endif
    if (call % 64 == 63) {
      // Audio between requests: whatever they did, the output stays finite.
      if (rng.below(4) == 0) effect.setParameter(index, opt);
      processSine(effect, audio, kBlock, t);
      ASSERT_EQ(readFpState(), before);
      t += kBlock;
      ++processed;
    }
  }
#ifdef _WIN32
  effect.dispatch(effEditClose);
  effect.close();
  DestroyWindow(parent);
  figure("1 dispatcher fuzz", format("the editor was open for the walk and reopened %ld times", reopened));
#endif
  figure(
      "1 dispatcher fuzz",
      format("%ld calls, %zu distinct opcodes (%d..%d), %ld blocks between, seed %llu, crashes 0, %s, %.1f s",
             calls, opcodes.size(), kLowest, kHighest, processed, static_cast<unsigned long long>(seed),
#ifdef _WIN32
             "the real DLL under Wine",
#else
             "ASan/UBSan reports 0",
#endif
             wallSeconds() - start));
}

std::vector<uint8_t> chunkOf(const Instance& effect, bool program) {
  void* data = nullptr;
  const VstIntPtr size = effect.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  const uint8_t* p = static_cast<const uint8_t*>(data);
  return size > 0 && p != nullptr ? std::vector<uint8_t>(p, p + size) : std::vector<uint8_t>();
}

// A project's chunk damaged every way a file or a host can damage it must be refused with 0 and
// change nothing, and effSetChunk must read nothing past the size it is given: each chunk lies at
// the end of a buffer before a guard page. The chunk starts as the plug-in's own bank with a user
// response in it (put there by a chunk made with the format's own writer).
TEST(ChunkFuzz, DamagedChunksAreRefusedChangeNothingAndAreNotReadPastTheirSize) {
  Instance effect = Instance::started();
  ASSERT_TRUE(effect);
  StateChunk::Contents contents;
  std::vector<uint8_t> own = chunkOf(effect, false);
  ASSERT_TRUE(StateChunk::read(own.data(), static_cast<int64_t>(own.size()), true, contents));
  contents.current = 9;
  contents.programs[9].values[11] = 1.0f;  // on User
  contents.responseRate = 48000.0;
  contents.response.resize(2400);
  for (size_t i = 0; i < contents.response.size(); ++i) {
    contents.response[i] = static_cast<float>(std::exp(-0.002 * i) * std::sin(0.05 * i));
  }
  contents.responseName = "Green 25 \xE2\x80\x94 room.flac";
  contents.editorScale = 125;
  std::vector<uint8_t> made = StateChunk::write(contents);
  ASSERT_EQ(effect.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(made.size()), made.data()), 1);
  const std::vector<uint8_t> bank = chunkOf(effect, false);
  const std::vector<uint8_t> program = chunkOf(effect, true);
  ASSERT_EQ(bank, made);

  // Re-signs a changed chunk, so only the change itself can be what is refused.
  auto sign = [](std::vector<uint8_t>& c) {
    const uint32_t crc = StateChunk::crc32(c.data(), c.size() - 4);
    for (int k = 0; k < 4; ++k) c[c.size() - 4 + k] = static_cast<uint8_t>(crc >> (8 * k));
  };
  auto put32 = [](std::vector<uint8_t>& c, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) c[at + k] = static_cast<uint8_t>(v >> (8 * k));
  };
  Rng rng(fuzzSeed());
  GuardedBuffer guarded(bank.size() + 4096);
  StereoBuffers audio(kBlock);
  const long rounds = 4000L * soakFactor();
  long refused = 0;
  long long t = 0;
  for (long round = 0; round < rounds; ++round) {
    const bool asProgram = rng.below(4) == 0;
    std::vector<uint8_t> c = asProgram ? program : bank;
    bool wrongKind = false;
    // The tail: the editor's scale, the name's length, the name, the checksum.
    const size_t nameBytes = contents.responseName.size();
    const size_t scaleAt = c.size() - 4 - nameBytes - 8;
    switch (rng.below(8)) {
      case 0:  // cut short anywhere
        c.resize(rng.below(static_cast<uint32_t>(c.size())));
        break;
      case 1:  // bytes flipped
        for (uint32_t k = 0, n = 1 + rng.below(8); k < n; ++k)
          c[rng.below(static_cast<uint32_t>(c.size()))] ^= 1 + rng.below(255);
        break;
      case 2: {  // a field lies, the checksum made right
        const uint32_t lies[][2] = {{4, 3},           {4, 0},          {12, 3},         {16, 49},
                                    {16, 51},         {20, 50},        {24, 11},        {24, 13},
                                    {28, 400001},     {28, 1},         {0, 0x4B525655}, {36, 0x7FF80000},
                                    {40, 0x7FC00000}, {44, 0x40000000}};
        const auto& lie = lies[rng.below(static_cast<uint32_t>(std::size(lies)))];
        put32(c, lie[0], lie[1]);
        sign(c);
        break;
      }
      case 3: {  // a name left unterminated, signed
        for (size_t k = 0; k < kVstMaxProgNameLen; ++k)
          c[StateChunk::kHeaderBytes + kNumParams * 4 + k] = 'x';
        sign(c);
        break;
      }
      case 6: {  // the scale or the name's length lies, or the version is the first's, signed
        const uint32_t lies[][2] = {{0, 1}, {0, 49},  {0, 401},        {0, 0xFFFFFFFF}, {4, 0},
                                    {4, 1}, {4, 256}, {4, 0x7FFFFFFF}, {0xFF, 1}};
        const auto& lie = lies[rng.below(static_cast<uint32_t>(std::size(lies)))];
        put32(c, lie[0] == 0xFF ? 4 : scaleAt + lie[0], lie[1]);
        sign(c);
        break;
      }
      case 7: {  // a byte of the name that is no character, or a control character, signed
        const uint8_t bad[] = {0x00, 0x0A, 0x1B, 0x7F, 0x80, 0xBF, 0xC0, 0xC1, 0xF5, 0xFF};
        // In place of one of the name's plain letters (one of its em dash's bytes could be
        // replaced by another that still makes a character).
        size_t at = scaleAt + 8 + rng.below(static_cast<uint32_t>(nameBytes));
        if (c[at] >= 0x80) at = scaleAt + 8;
        c[at] = bad[rng.below(static_cast<uint32_t>(std::size(bad)))];
        sign(c);
        break;
      }
      case 4: {  // bytes appended (the size field then lies) or the size field grown to match
        c.resize(c.size() + 1 + rng.below(64), static_cast<uint8_t>(rng.next()));
        if (rng.below(2) != 0) put32(c, 8, static_cast<uint32_t>(c.size()));
        break;
      }
      default:  // whole and intact, but handed over as the other kind
        wrongKind = true;
        break;
    }
    uint8_t* at = reinterpret_cast<uint8_t*>(guarded.at(c.size()));
    std::memcpy(at, c.data(), c.size());
    const bool preset = wrongKind ? !asProgram : asProgram;
    ASSERT_EQ(effect.dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(c.size()), at), 0)
        << "round " << round;
    ++refused;
    if (round % 64 == 63) {
      processSine(effect, audio, kBlock, t);
      t += kBlock;
      ASSERT_EQ(chunkOf(effect, false), bank) << "round " << round;
    }
  }
  ASSERT_EQ(chunkOf(effect, false), bank);
  ASSERT_EQ(effect.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(program.size()),
                            const_cast<uint8_t*>(program.data())),
            1);
  figure("1 chunk fuzz",
         format("%ld damaged chunks (cut, flipped, lying fields re-signed, unterminated names, "
                "grown, lying scales and name lengths, malformed file names, other kind), each at a guard "
                "page: all refused with 0, the state "
                "unchanged, no read past the size given",
                refused));
}

}  // namespace
