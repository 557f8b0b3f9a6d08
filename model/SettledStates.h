// The model's settled idle states computed ahead of time (tools/settle writes them, one file per
// platform, committed), so a first instance need not run the circuit for seconds to find them.
// Each set belongs to the valve tables it was settled on: their values, and so the states, differ
// in the last place between platforms' maths libraries.
#pragma once

#include <cstdint>

// Any thread. The count settled states of wordsPerState 32-bit words each, one after the other,
// settled on the tables with this fingerprint (ValveTables::fingerprint); null when none were
// computed for them or their size is not wordsPerState (the state's layout changed since).
const std::uint32_t* settledStates(std::uint64_t tablesFingerprint, int wordsPerState, int count);

// One platform's set, as the generated files write it.
struct SettledStateSet {
  std::uint64_t tables;  // fingerprint of the tables they were settled on
  int wordsPerState;
  int count;
  const std::uint32_t* words;
};
