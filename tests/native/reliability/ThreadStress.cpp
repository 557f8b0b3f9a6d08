// Group 5: threads. First, the process's first eight instances are created at once on eight
// threads and each processes a block (what is built on first use must be built once, safely).
// Then an audio thread processes 32-sample blocks, the announced size, and every 16th block 2 or
// 10 times that, for 10 s (100 s in the soak) while a user-interface thread sets and reads
// parameters, displays and program names, runs the editor's idle and reads the meters the way
// the editor does, an automation thread sets parameters, a third thread switches programs
// and the sample rate (suspend, rate, resume); the user-interface thread also does what a project
// and the player's file loads do: saves and restores the state (bank and program chunks) and asks
// the effect's loading thread for impulse-response files, one it takes and one it refuses. Built
// twice: under
// ThreadSanitizer (any report ends the program with exit code 66), and unsanitized, to take the 99.9th
// percentile of the block time and count the allocations and locking calls of the audio thread (both must be
// 0; spin waits, which call nothing, are looked for in the program's machine code by audio-path-atomics.sh).
// A watchdog ends the program if the audio thread stops making progress (a deadlock).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>
#include <unistd.h>

#include "effect/Controlsgui.h"
#include "tests/native/reliability/AudioThreadCensus.h"
#include "tests/reliability/harness/Harness.h"

#ifdef KORVALITE_THREAD_SANITIZER
// The first report ends the program (exit code 66), so a run that reaches its figure had none.
extern "C" const char* __tsan_default_options() {
  return "halt_on_error=1 exitcode=66 second_deadlock_stack=1";
}

namespace census {
bool available() {
  return false;
}
void begin() {}
void end() {}
long allocations() {
  return 0;
}
long locks() {
  return 0;
}
}  // namespace census
#endif

using namespace reliability;

namespace {

std::atomic<long> automations{0};

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return 2400;
  if (opcode == audioMasterAutomate) automations.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

constexpr int kBlock = 32;
// The announced size, then 2 and 10 times it: hosts send larger blocks than they announce.
constexpr int kSizes[] = {kBlock, 2 * kBlock, 10 * kBlock};
constexpr int kLargest = 10 * kBlock;

// A short response file (a decaying noise burst) the loading thread takes; empty on failure.
std::string writeResponseFile(const std::filesystem::path& path) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
  if (file == nullptr) return "";
  std::vector<float> samples(4800);
  Rng rng(9);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>((rng.uniform() - 0.5) * (1.0 - static_cast<double>(i) / samples.size()));
  const bool written = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size())) ==
                       static_cast<sf_count_t>(samples.size());
  return sf_close(file) == 0 && written ? path.string() : "";
}

// The first instances of the process, created, used and destroyed on eight threads at once.
void firstInstancesAtOnce() {
  constexpr int kThreads = 8;
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) {
      }
      Controlsgui effect(hostCallback);
      AEffect* record = effect.getAeffect();
      record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
      float in[2][kBlock] = {};
      float out[2][kBlock];
      float* ins[2] = {in[0], in[1]};
      float* outs[2] = {out[0], out[1]};
      record->processReplacing(record, ins, outs, kBlock);
    });
  }
  for (std::thread& t : threads) t.join();
}

}  // namespace

int main() {
  const double seconds = 10.0 * soakFactor();
  const double firstStart = wallSeconds();
  firstInstancesAtOnce();
  const double firstSeconds = wallSeconds() - firstStart;
  // The lock functions find their originals before any census opens.
  census::begin();
  census::end();
  Controlsgui* effect = new Controlsgui(hostCallback);
  AEffect* record = effect->getAeffect();
  auto dispatch = [record](VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                           float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  };
  dispatch(effOpen);
  dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  dispatch(effSetBlockSize, 0, kBlock);
  dispatch(effMainsChanged, 0, 1);

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::vector<double> blockTimes;
  blockTimes.reserve(static_cast<size_t>(seconds * 200000));
  // CPU time leaves out the preemptions of a machine shared with other work.
  std::vector<double> cpuTimes;
  cpuTimes.reserve(blockTimes.capacity());
  long audioAllocations = 0;
  long audioLocks = 0;
  bool finite = true;

  std::thread audio([&] {
    static float in[2][kLargest];
    static float out[2][kLargest];
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    long long t = 0;
    long n = 0;
    const double start = wallSeconds();
    while (wallSeconds() - start < seconds) {
      // Every 16th block oversize, 2 and 10 times the announced size in turn.
      const int size = n % 16 != 15 ? 0 : (n / 16) % 2 + 1;
      const int frames = kSizes[size];
      ++n;
      for (int i = 0; i < frames; ++i, ++t) {
        in[0][i] = 0.5f * static_cast<float>((t % 100) - 50) / 50.0f;
        in[1][i] = -in[0][i];
      }
      const long allocationsBefore = census::allocations();
      const long locksBefore = census::locks();
      const double s = wallSeconds();
      const double c = threadSeconds();
      census::begin();
      record->processReplacing(record, ins, outs, frames);
      census::end();
      const double used = wallSeconds() - s;
      if (frames == kBlock) {
        if (cpuTimes.size() < cpuTimes.capacity()) cpuTimes.push_back(threadSeconds() - c);
        if (blockTimes.size() < blockTimes.capacity()) blockTimes.push_back(used);
      }
      audioAllocations += census::allocations() - allocationsBefore;
      audioLocks += census::locks() - locksBefore;
      for (int i = 0; i < frames; ++i)
        finite = finite && std::isfinite(out[0][i]) && std::isfinite(out[1][i]);
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
    stop = true;
  });

  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::string response = writeResponseFile(
      folder / ("korvalite-stress-" + std::to_string(static_cast<long>(::getpid())) + ".wav"));
  if (response.empty()) std::fprintf(stderr, "no response file could be written; loads are refused only\n");
  // The project's work runs on the user-interface thread, where hosts save and restore state and
  // where the editor asks for files; the effect's loading thread runs beside it.
  long projects = 0;
  std::vector<char> chunkCopy;
  auto projectWork = [&](Rng& rng) {
    const VstInt32 program = static_cast<VstInt32>(rng.below(2));
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, program, 0, &data);
    if (size > 0 && data != nullptr) {
      chunkCopy.assign(static_cast<const char*>(data), static_cast<const char*>(data) + size);
      dispatch(effSetChunk, program, size, chunkCopy.data());
    }
    effect->loadUserFile(rng.below(3) == 0 ? "/nonexistent/korvalite.wav" : response.c_str());
    ResponseFileOutcome outcome;
    effect->takeUserFileOutcome(outcome);
    ++projects;
  };

  std::thread gui([&] {
    Rng rng(1);
    char text[64];
    float meters = 0.0f;
    while (!stop) {
      const VstInt32 index = static_cast<VstInt32>(rng.below(kNumParams));
      effect->setParameterAutomated(index, rng.uniform());
      record->getParameter(record, index);
      dispatch(effGetParamDisplay, index, 0, text);
      dispatch(effGetParamName, index, 0, text);
      dispatch(effGetProgramName, 0, 0, text);
      dispatch(effGetProgramNameIndexed, static_cast<VstInt32>(rng.below(50)), 0, text);
      dispatch(effEditIdle);
      // What the editor's idle reads, at its pace.
      meters += *effect->getMeterLevel1() + *effect->getMeterLevel2();
      if (rng.below(6) == 0) projectWork(rng);
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::printf("meters read %g\n", static_cast<double>(meters > -1.0f));
  });

  std::thread automation([&] {
    Rng rng(2);
    while (!stop) {
      record->setParameter(record, static_cast<VstInt32>(rng.below(kNumParams)), rng.uniform());
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });

  long switches = 0;
  std::thread programs([&] {
    Rng rng(3);
    const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f, 192000.0f};
    while (!stop) {
      dispatch(effSetProgram, 0, rng.below(50));
      dispatch(effMainsChanged, 0, 0);
      dispatch(effSetSampleRate, 0, 0, nullptr, rates[rng.below(5)]);
      dispatch(effMainsChanged, 0, 1);
      ++switches;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });

  // A deadlock shows as an audio thread that stops counting blocks.
  std::thread watchdog([&] {
    long last = -1;
    while (!stop) {
      std::this_thread::sleep_for(std::chrono::seconds(5));
      const long now = blocks.load();
      if (now == last && !stop) {
        std::fprintf(stderr, "the audio thread made no progress for 5 s: deadlock\n");
        std::_Exit(3);
      }
      last = now;
    }
  });

  audio.join();
  gui.join();
  automation.join();
  programs.join();
  watchdog.join();
  dispatch(effMainsChanged, 0, 0);
  dispatch(effClose);
  if (!response.empty()) std::filesystem::remove(response);

  std::sort(blockTimes.begin(), blockTimes.end());
  const double p999 = blockTimes.empty() ? 0.0 : blockTimes[blockTimes.size() * 999 / 1000];
  std::sort(cpuTimes.begin(), cpuTimes.end());
  const double cpu999 = cpuTimes.empty() ? 0.0 : cpuTimes[cpuTimes.size() * 999 / 1000];
  const double median = cpuTimes.empty() ? 0.0 : cpuTimes[cpuTimes.size() / 2];
#ifdef KORVALITE_THREAD_SANITIZER
  figure(
      "5 threads (ThreadSanitizer)",
      format("8 first instances at once (%.1f s), then %.0f s, %ld blocks of 32 (every 16th 64 or 320), %ld "
             "program/rate switches, %ld chunk round trips with file loads, %ld automations reported: TSan "
             "reports 0, deadlocks 0, output finite %s "
             "(block CPU p99.9 %.0f us, median %.0f us, wall p99.9 %.0f us under TSan)",
             firstSeconds, seconds, blocks.load(), switches, projects, automations.load(),
             finite ? "yes" : "NO", 1e6 * cpu999, 1e6 * median, 1e6 * p999));
#else
  figure(
      "5 threads",
      format("8 first instances at once (%.1f s), then %.0f s, %ld blocks of 32 (every 16th 64 or 320), %ld "
             "program/rate switches, %ld chunk round trips with file loads: p99.9 block CPU time of 32 %.1f "
             "us (median %.1f us, wall p99.9 %.1f us "
             "on a shared machine, real time %.0f us), audio-thread allocations %ld, locks %ld",
             firstSeconds, seconds, blocks.load(), switches, projects, 1e6 * cpu999, 1e6 * median, 1e6 * p999,
             1e6 * kBlock / 44100.0, audioAllocations, audioLocks));
#endif
  if (!finite) return 1;
  if (census::available() && (audioAllocations != 0 || audioLocks != 0)) return 2;
  return 0;
}
