// A value one thread writes while another reads it, with no ordering between them: each load and
// store is a relaxed atomic, which on x86-64 compiles to the same single plain load or store
// as the bare value, yet is defined behaviour and visible as such to ThreadSanitizer. It has the
// bare value's size and alignment, reads and assigns like it, and copies value by value, so
// records holding such values stay copyable.
#pragma once

#include <atomic>

template <typename T>
class Relaxed {
 public:
  Relaxed() : value_(T()) {}
  Relaxed(T v) : value_(v) {}  // NOLINT: assigned and initialised like the bare value
  Relaxed(const Relaxed& o) : value_(o.load()) {}
  Relaxed& operator=(const Relaxed& o) {
    store(o.load());
    return *this;
  }
  Relaxed& operator=(T v) {
    store(v);
    return *this;
  }
  operator T() const { return load(); }  // NOLINT: read like the bare value

  T load() const { return value_.load(std::memory_order_relaxed); }
  void store(T v) { value_.store(v, std::memory_order_relaxed); }

 private:
  static_assert(std::atomic<T>::is_always_lock_free, "a relaxed value never takes a lock");
  std::atomic<T> value_;
};

static_assert(sizeof(Relaxed<float>) == sizeof(float) && alignof(Relaxed<float>) == alignof(float));
static_assert(sizeof(Relaxed<bool>) == sizeof(bool));
