// Vectors whose storage starts on a cache line: the convolver reads some 32 bytes at a time at
// multiples of 32 bytes, and a read that straddles two lines costs twice.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

template <class T>
struct CacheLineAllocator {
  typedef T value_type;
  static constexpr std::align_val_t kAlignment{64};
  CacheLineAllocator() = default;
  template <class U>
  CacheLineAllocator(const CacheLineAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
  void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }
  template <class U>
  bool operator==(const CacheLineAllocator<U>&) const {
    return true;
  }
};

template <class T>
using AlignedVector = std::vector<T, CacheLineAllocator<T>>;
