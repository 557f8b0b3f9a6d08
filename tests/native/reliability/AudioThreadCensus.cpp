// The program's own malloc, calloc, realloc, memalign, free and pthread lock functions: each
// forwards to the C library's and counts the call when the calling thread has a census open.
#include "tests/native/reliability/AudioThreadCensus.h"

#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

thread_local bool counting = false;
std::atomic<long> allocationCount{0};
std::atomic<long> lockCount{0};

void noteAllocation() {
  if (counting) allocationCount.fetch_add(1, std::memory_order_relaxed);
}
void noteLock() {
  if (counting) lockCount.fetch_add(1, std::memory_order_relaxed);
}

template <typename F>
F real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

namespace census {
bool available() {
  return true;
}
void begin() {
  counting = true;
}
void end() {
  counting = false;
}
long allocations() {
  return allocationCount.load();
}
long locks() {
  return lockCount.load();
}
}  // namespace census

extern "C" {

void* malloc(size_t n) {
  noteAllocation();
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  noteAllocation();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  noteAllocation();
  return __libc_realloc(p, n);
}
void* memalign(size_t alignment, size_t n) {
  noteAllocation();
  return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
  noteAllocation();
  return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
  noteAllocation();
  void* p = __libc_memalign(alignment, n);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
void free(void* p) {
  __libc_free(p);
}

int pthread_mutex_lock(pthread_mutex_t* m) {
  static auto next = real<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
  noteLock();
  return next(m);
}
int pthread_mutex_trylock(pthread_mutex_t* m) {
  static auto next = real<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
  noteLock();
  return next(m);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* l) {
  static auto next = real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
  noteLock();
  return next(l);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* l) {
  static auto next = real<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
  noteLock();
  return next(l);
}
int sem_wait(sem_t* s) {
  static auto next = real<int (*)(sem_t*)>("sem_wait");
  noteLock();
  return next(s);
}

}  // extern "C"
