// Group 7: the editor, linked into this program so the toolkit's live-object counters can be
// read. Many open / ten idles / close cycles leave the counters, the child windows and the
// memory where they were; a second open without a close and a second close do no harm; the
// editor opens before resume, at sample rate 0 and while another thread processes; every
// parameter is automated at 100 Hz with the editor open; two editors open at once close in
// either order. All of it at 100 % and at 200 %, where the pictures are made part by part.
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "editor/ControlsguiEditor.h"
#include "effect/Controlsgui.h"
#include "gui/frame/LiveObjectCounts.h"
#include "tests/reliability/harness/Analysis.h"
#include "tests/reliability/harness/Harness.h"
#include "tests/support/EditorCensus.h"
#include "tests/support/HostWindow.h"

using namespace reliability;
using namespace VSTGUI;

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

void pumpMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

class EditorReliability : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    effect.reset(new Controlsgui(&hostCallback));
    effect->setEditorScale(GetParam());
    parent = makeParent();
    ASSERT_NE(parent, nullptr);
  }
  void TearDown() override {
    effect.reset();
    DestroyWindow(parent);
  }
  static HWND makeParent() { return makeEditorParent(); }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  }
  Census census() const { return takeCensus(parent); }
  std::string group() const { return "7 editor at " + std::to_string(GetParam()) + " %"; }
  // The figures' group: each size reports its own.
  void cycle(int idles) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1);
    for (int i = 0; i < idles; ++i) {
      pumpMessages();
      dispatch(effEditIdle);
    }
    dispatch(effEditClose);
    pumpMessages();
  }

  std::unique_ptr<Controlsgui> effect;
  HWND parent = nullptr;
};

TEST_P(EditorReliability, OpenTenIdlesCloseCyclesLeaveNothingBehind) {
  dispatch(effMainsChanged, 0, 1);
  for (int i = 0; i < 5; ++i) cycle(10);  // fonts and GDI+ start once
  const Census closed = census();
  const long long before = allocatedBytes();
  const int cycles = soaking() ? 1000 : 150;
  const double start = wallSeconds();
  long long drift = 0;
  for (int i = 0; i < cycles; ++i) {
    cycle(10);
    ASSERT_TRUE(census() == closed) << "cycle " << i << ": " << census().text() << " vs " << closed.text();
    drift = std::max(drift, allocatedBytes() - before);
  }
  // One leaked set of control pictures would be about 12 MB.
  EXPECT_LT(drift, 4ll * 1024 * 1024);
  figure(group().c_str(),
         format("%d cycles of open, 10 idles, close: live views/bitmaps/contexts/fonts/GDI+/DCs/"
                "windows unchanged (%s), private memory drift at most %lld KB, %.1f ms a cycle",
                cycles, closed.text().c_str(), drift / 1024, 1e3 * (wallSeconds() - start) / cycles));
}

TEST_P(EditorReliability, OpenTwiceAndCloseTwice) {
  cycle(1);
  const Census closed = census();
  ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1);
  const Census opened = census();
  ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1);
  EXPECT_TRUE(census() == opened) << "a second open leaves the first frame behind: " << census().text();
  dispatch(effEditIdle);
  dispatch(effEditClose);
  dispatch(effEditClose);
  dispatch(effEditIdle);
  pumpMessages();
  EXPECT_TRUE(census() == closed) << census().text() << " vs " << closed.text();
  figure(group().c_str(), "effEditOpen twice without a close, effEditClose twice: one frame while open (" +
                              opened.text() + "), nothing left after (" + closed.text() + ")");
}

TEST_P(EditorReliability, OpensBeforeResumeAtRateZeroAndWhileAnotherThreadProcesses) {
  // Before resume (and before effOpen).
  cycle(3);
  // At sample rate 0: the host sent a rate it should not have.
  dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
  cycle(3);
  // While the audio thread processes.
  dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  dispatch(effMainsChanged, 0, 1);
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  bool finite = true;
  std::thread audio([&] {
    float in[2][64], out[2][64];
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    long long t = 0;
    while (!stop) {
      fillSine(in[0], 64, 440.0, 44100.0, 0.8f, t);
      fillSine(in[1], 64, 440.0, 44100.0, 0.8f, t);
      effect->processReplacing(ins, outs, 64);
      finite = finite && allFinite(out[0], 64) && allFinite(out[1], 64);
      t += 64;
      ++blocks;
      Sleep(1);
    }
  });
  const Census closed = census();
  for (int i = 0; i < 20; ++i) cycle(5);
  stop = true;
  audio.join();
  EXPECT_TRUE(finite);
  EXPECT_TRUE(census() == closed) << census().text();
  figure(group().c_str(),
         format("opened before resume, at sample rate 0, and 20 times while another thread processed "
                "(%ld blocks): no fault, output finite, nothing left",
                blocks.load()));
}

// Host automation comes from a thread of the host's (often its audio thread) at 100 Hz while the
// user-interface thread idles the open editor; then the same automation runs on while the editor
// is opened and closed again and again.
TEST_P(EditorReliability, EveryParameterAutomatedAt100HzWithTheEditorOpen) {
  dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1);
  for (int i = 0; i < 3; ++i) {
    dispatch(effEditIdle);
    pumpMessages();
  }
  const Census opened = census();  // painted once: the pictures' GDI+ images exist now
  const double seconds = 10.0;
  AEffect* record = effect->getAeffect();
  std::atomic<bool> stop{false};
  std::atomic<int> ticks{0};
  std::thread automation([&] {
    Rng rng(100);
    const double start = wallSeconds();
    while (!stop) {
      for (int p = 0; p < kNumParams; ++p) record->setParameter(record, p, rng.uniform());
      ++ticks;
      const double wait = start + 0.01 * ticks - wallSeconds();
      if (wait > 0) Sleep(static_cast<DWORD>(wait * 1000.0));
    }
  });
  int idles = 0;
  const double start = wallSeconds();
  while (wallSeconds() - start < seconds) {
    dispatch(effEditIdle);
    pumpMessages();
    ++idles;
    Sleep(10);
  }
  const int openTicks = ticks;
  EXPECT_TRUE(census() == opened) << census().text() << " vs " << opened.text();
  dispatch(effEditClose);
  pumpMessages();
  // Automation on while the window comes and goes.
  const int cycles = soaking() ? 200 : 20;
  for (int i = 0; i < cycles; ++i) cycle(2);
  stop = true;
  automation.join();
  EXPECT_EQ(liveCount(kLiveWindows), 0);
  figure(group().c_str(),
         format("%.0f s of 100 Hz automation of all %d parameters from another thread with the editor "
                "open (%d automation ticks, %d idles), then during %d open/close cycles (%d ticks in "
                "all): no fault, live objects steady",
                seconds, kNumParams, openTicks, idles, cycles, ticks.load()));
}

TEST_P(EditorReliability, TwoEditorsOpenAtOnceCloseInEitherOrder) {
  std::unique_ptr<Controlsgui> second(new Controlsgui(&hostCallback));
  second->setEditorScale(GetParam());
  HWND parent2 = makeParent();
  cycle(1);
  // Each editor keeps its background picture (and its GDI+ image once drawn) while it lives.
  ASSERT_EQ(second->dispatcher(effEditOpen, 0, 0, parent2, 0.0f), 1);
  pumpMessages();
  second->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  const Census closed = census();
  for (bool firstClosesFirst : {true, false}) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1);
    ASSERT_EQ(second->dispatcher(effEditOpen, 0, 0, parent2, 0.0f), 1);
    dispatch(effEditIdle);
    second->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    pumpMessages();
    if (firstClosesFirst) {
      dispatch(effEditClose);
      // The other editor's window still works: its class must outlive the first close.
      second->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
      InvalidateRect(parent2, nullptr, TRUE);
      UpdateWindow(parent2);
      pumpMessages();
      second->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    } else {
      second->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
      dispatch(effEditIdle);
      pumpMessages();
      dispatch(effEditClose);
    }
    pumpMessages();
    EXPECT_TRUE(census() == closed) << census().text();
    // Both can open again: the class came back.
    cycle(1);
  }
  second.reset();
  DestroyWindow(parent2);
  figure(group().c_str(),
         "two editors open at once, closed in either order, then reopened: no fault, nothing left");
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditorReliability, ::testing::Values(100u, 200u),
                         [](const ::testing::TestParamInfo<uint32_t>& size) {
                           return "At" + std::to_string(size.param) + "Percent";
                         });

}  // namespace
