#include "tests/reliability/harness/Harness.h"

#include <xmmintrin.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "tools/host/ProcessCensus.h"
#else
#include <malloc.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtime's count of the bytes the program holds (its allocator replaces malloc).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#endif

namespace reliability {

int soakFactor() {
  return soaking() ? 10 : 1;
}

bool soaking() {
  const char* v = std::getenv("KORVALITE_SOAK");
  return v != nullptr && v[0] != '\0' && std::strcmp(v, "0") != 0;
}

void figure(const char* group, const std::string& text) {
  std::printf("[figure] %s: %s\n", group, text.c_str());
  std::fflush(stdout);
}

std::string format(const char* fmt, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

namespace {
size_t pageSize() {
#ifdef _WIN32
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}
}  // namespace

GuardedBuffer::GuardedBuffer(size_t capacity) : capacity_(capacity) {
  const size_t page = pageSize();
  const size_t data = (capacity + page - 1) / page * page;
  mapped_ = data + page;
#ifdef _WIN32
  base_ = static_cast<char*>(VirtualAlloc(nullptr, mapped_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (base_ == nullptr) std::abort();
  DWORD old = 0;
  if (!VirtualProtect(base_ + data, page, PAGE_NOACCESS, &old)) std::abort();
#else
  void* p = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) std::abort();
  base_ = static_cast<char*>(p);
  if (mprotect(base_ + data, page, PROT_NONE) != 0) std::abort();
#endif
  guard_ = base_ + data;
}

GuardedBuffer::~GuardedBuffer() {
#ifdef _WIN32
  VirtualFree(base_, 0, MEM_RELEASE);
#else
  munmap(base_, mapped_);
#endif
}

char* GuardedBuffer::at(size_t bytes) {
  if (bytes > capacity_) std::abort();
  return guard_ - bytes;
}

uint64_t Rng::next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

FpState readFpState() {
  FpState s;
  s.mxcsr = _mm_getcsr();
  uint16_t cw = 0;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  s.x87 = cw;
  return s;
}

void writeFpState(const FpState& s) {
  _mm_setcsr(s.mxcsr);
  uint16_t cw = s.x87;
  __asm__ volatile("fldcw %0" : : "m"(cw));
}

FpState hostDefaultFpState() {
  FpState s = readFpState();
  s.mxcsr = (s.mxcsr & ~(0x8000u | 0x0040u | 0x6000u)) | 0x1F80u;
  return s;
}

double threadSeconds() {
#ifdef _WIN32
  return wallSeconds();
#else
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
#endif
}

double wallSeconds() {
#ifdef _WIN32
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
#else
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
#endif
}

long long allocatedBytes() {
#ifdef _WIN32
  // The heaps' pages and every VirtualAlloc: what an instance, a table set or a picture holds.
  return static_cast<long long>(privateBytes());
#elif defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long long>(m.uordblks + m.hblkhd);
#endif
}

}  // namespace reliability
