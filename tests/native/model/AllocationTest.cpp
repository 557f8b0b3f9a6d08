// processReplacing must not allocate: operator new and (under the sanitizers) malloc are
// intercepted and counted while a tracking scope is open on this thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "model/AmpModel.h"
#include "tests/native/model/Signal.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#define TRACK_MALLOC 1
#endif

namespace {

thread_local bool tracking = false;
thread_local int allocations = 0;

void noteAllocation() {
  if (tracking) ++allocations;
}

#ifdef TRACK_MALLOC
void mallocHook(const volatile void*, size_t) {
  noteAllocation();
}
void freeHook(const volatile void*) {}
#endif

struct Tracking {
  Tracking() {
    allocations = 0;
    tracking = true;
  }
  ~Tracking() { tracking = false; }
};

}  // namespace

// The replacements pair malloc with free on purpose: they are the allocator here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
  noteAllocation();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
  return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  noteAllocation();
  return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

TEST(Allocation, TheTrackerSeesAnAllocation) {
  Tracking t;
  delete new int(3);
  EXPECT_GE(allocations, 1);
}

TEST(Allocation, ProcessReplacingAllocatesNothing) {
#ifdef TRACK_MALLOC
  __sanitizer_install_malloc_and_free_hooks(mallocHook, freeHook);
#endif
  AmpModel m;
  const std::vector<float> in = measure::sine(440.0, 44100.0, 2048, 0.7);
  std::vector<float> out1(2048), out2(2048);
  const float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {out1.data(), out2.data()};
  std::vector<float> p = measure::defaultParams();
  p[kParamPowerSupply] = 1.0f;
  float meter1, meter2;
  {
    Tracking t;
    m.processReplacing(inputs, outputs, 2048, p.data(), true, &meter1, &meter2);
    m.processReplacing(inputs, outputs, 2048, p.data(), false, &meter1, &meter2);
    p[kParamPower] = 0.0f;
    m.processReplacing(inputs, outputs, 2048, p.data(), true, &meter1, &meter2);
  }
  EXPECT_EQ(allocations, 0);
  m.updateCoefficients(0.3f, 192000.0f, 48000.0f);
  {
    Tracking t;
    m.processReplacing(inputs, outputs, 2048, p.data(), true, &meter1, &meter2);
  }
  EXPECT_EQ(allocations, 0);
#ifdef TRACK_MALLOC
  __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
#endif
}

}  // namespace
