// Group 2: string bounds. Every text the plug-in writes goes into a buffer of exactly the
// published length whose last byte is followed by a guard page, pre-filled with a marker: the
// plug-in may not write beyond it (the guard faults), must terminate within it, and must not
// read past a host's text of exactly that length either.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/reliability/harness/PluginHost.h"

using namespace reliability;

namespace {

constexpr char kMarker = '\x7f';

struct Query {
  const char* name;
  VstInt32 opcode;
  size_t limit;
};

const Query kParameterQueries[] = {
    {"effGetParamDisplay", effGetParamDisplay, kVstMaxParamStrLen},
    {"effGetParamLabel", effGetParamLabel, kVstMaxParamStrLen},
    {"effGetParamName", effGetParamName, kVstMaxParamStrLen},
};

const Query kIdentityQueries[] = {
    {"effGetEffectName", effGetEffectName, kVstMaxEffectNameLen},
    {"effGetVendorString", effGetVendorString, kVstMaxVendorStrLen},
    {"effGetProductString", effGetProductString, kVstMaxProductStrLen},
    {"effShellGetNextPlugin", effShellGetNextPlugin, kVstMaxProductStrLen},
    {"effGetProgramName", effGetProgramName, kVstMaxProgNameLen},
};

// Asks `opcode` into a guarded buffer of `limit` bytes; the answer is terminated within it,
// or the buffer is untouched (a refusal).
struct Checked {
  long queries = 0;
  long terminated = 0;
  long untouched = 0;
  size_t longest = 0;
};

void ask(const Instance& effect, GuardedBuffer& buffer, const Query& q, VstInt32 index, Checked& c) {
  char* text = buffer.at(q.limit);
  std::memset(text, kMarker, q.limit);
  effect.dispatch(q.opcode, index, 0, text, 0.0f);
  ++c.queries;
  const size_t length = strnlen(text, q.limit);
  if (length < q.limit) {
    ++c.terminated;
    c.longest = std::max(c.longest, length);
  } else {
    bool untouched = true;
    for (size_t i = 0; i < q.limit; ++i) untouched = untouched && text[i] == kMarker;
    ASSERT_TRUE(untouched) << q.name << " index " << index << " filled the buffer without a terminator";
    ++c.untouched;
  }
}

TEST(StringBounds, EveryTextFitsItsPublishedLimit) {
  Instance effect = Instance::started();
  ASSERT_TRUE(effect);
  GuardedBuffer buffer(256);
  Checked c;
  const int numParams = effect.record()->numParams;
  const int numPrograms = effect.record()->numPrograms;
  // Every parameter at 101 values, and a few a host should not send.
  for (int p = -1; p <= numParams; ++p) {
    for (int v = 0; v <= 100; ++v) {
      effect.setParameter(p, static_cast<float>(v) / 100.0f);
      for (const Query& q : kParameterQueries) ask(effect, buffer, q, p, c);
    }
    for (float v : {-1e30f, -1.0f, 2.0f, 1e30f, 1e-40f}) {
      effect.setParameter(p, v);
      for (const Query& q : kParameterQueries) ask(effect, buffer, q, p, c);
    }
  }
  // Every program's name, selected and indexed, and the identity texts.
  for (int program = 0; program < numPrograms; ++program) {
    effect.dispatch(effSetProgram, 0, program);
    for (const Query& q : kIdentityQueries) ask(effect, buffer, q, 0, c);
    ask(effect, buffer, {"effGetProgramNameIndexed", effGetProgramNameIndexed, kVstMaxProgNameLen}, program,
        c);
  }
  for (VstInt32 index : {-1, numPrograms, 1 << 30}) {
    ask(effect, buffer, {"effGetProgramNameIndexed", effGetProgramNameIndexed, kVstMaxProgNameLen}, index, c);
  }
  figure("2 string bounds", format("%ld queries into exactly-the-limit guarded buffers, %ld terminated, %ld "
                                   "refused untouched, longest answer %zu bytes, faults 0",
                                   c.queries, c.terminated, c.untouched, c.longest));
}

// Names the host gives in buffers ending at a guard page: empty, short, 23 letters, exactly the
// limit without a terminator, longer. What the plug-in stores reads back terminated and within the limit.
TEST(StringBounds, ProgramNamesFromTheHostAreReadWithinTheirLimit) {
  Instance effect = Instance::started();
  ASSERT_TRUE(effect);
  GuardedBuffer name(256);
  GuardedBuffer back(kVstMaxProgNameLen);
  const int numPrograms = effect.record()->numPrograms;
  long names = 0;
  for (int program = 0; program < numPrograms; ++program) {
    effect.dispatch(effSetProgram, 0, program);
    for (size_t length :
         {size_t{0}, size_t{1}, size_t{kVstMaxProgNameLen - 1}, size_t{kVstMaxProgNameLen}, size_t{100}}) {
      // The host's buffer is at least a program name's size and ends at the guard; `length`
      // letters, terminated when they are fewer than the buffer (24 letters: no terminator).
      const size_t size = std::max<size_t>(kVstMaxProgNameLen, length + (length < 100 ? 0 : 1));
      char* text = name.at(size);
      std::memset(text, 0, size);
      for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + (i + program) % 26);
      effect.dispatch(effSetProgramName, 0, 0, text);
      char* readBack = back.at(kVstMaxProgNameLen);
      std::memset(readBack, kMarker, kVstMaxProgNameLen);
      effect.dispatch(effGetProgramName, 0, 0, readBack);
      ASSERT_LT(strnlen(readBack, kVstMaxProgNameLen), size_t{kVstMaxProgNameLen});
      ASSERT_EQ(std::strncmp(readBack, text, std::min<size_t>(length, kVstMaxProgNameLen - 1)), 0);
      ++names;
    }
  }
  // Texts the plug-in only reads: can-do strings and string2parameter, terminated at the guard.
  for (const char* t : {"", "receiveVstEvents", "receiveVstMidiEvent", "bypass", "0.5"}) {
    const size_t size = std::strlen(t) + 1;
    char* text = name.at(size);
    std::memcpy(text, t, size);
    effect.dispatch(effCanDo, 0, 0, text);
    effect.dispatch(effString2Parameter, 0, 0, text);
  }
  figure("2 string bounds", format("%ld host names (0, 1, 23, 24 unterminated, 100 bytes) on %d programs, "
                                   "read back terminated within 24, faults 0",
                                   names, numPrograms));
}

}  // namespace
