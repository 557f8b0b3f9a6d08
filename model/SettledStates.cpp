#include "model/SettledStates.h"

namespace {

// Each file defines one SettledStateSet (its name says the platform).
#include "model/SettledStatesLinux.inc"
#include "model/SettledStatesWindows.inc"

const SettledStateSet* const kSets[] = {&kSettledLinux, &kSettledWindows};

}  // namespace

const std::uint32_t* settledStates(std::uint64_t tablesFingerprint, int wordsPerState, int count) {
  for (const SettledStateSet* set : kSets) {
    if (set->tables == tablesFingerprint && set->wordsPerState == wordsPerState && set->count == count) {
      return set->words;
    }
  }
  return nullptr;
}
