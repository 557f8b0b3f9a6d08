// A wait-free hand-over of heap objects from a control thread to the audio thread and back: one
// ring carries prepared objects to the audio thread, another carries back the ones it no longer
// uses, to be freed off the audio thread. Each ring has one writer and one reader, so acquire
// loads and release stores of its two counters suffice: the audio thread's side has no
// read-modify-write, no lock and no wait (the audio-path machine-code check holds it to that),
// and a control thread can always offer a newer object without taking an older one back.
//
// Threads. offer and reclaim: control threads, one at a time (the owner serialises them).
// takeNewest and retire: the audio thread.
#pragma once

#include <atomic>
#include <cstdint>

template <typename T>
class Handover {
 public:
  static constexpr uint32_t kCapacity = 16;

  // Control thread: places item for the audio thread; false (the item stays the caller's) when
  // kCapacity offers wait already.
  bool offer(T* item) { return toAudio_.push(item); }
  // Control thread: an object the audio thread gave back, now the caller's to free, or null.
  T* reclaim() { return fromAudio_.pop(); }

  // Audio thread: the newest object offered, or null. The older ones it passes over go straight
  // back. Nothing is taken while the way back lacks room for them and for one more, which the
  // caller may give back with retire for each object taken.
  T* takeNewest() {
    const uint32_t waiting = toAudio_.count();
    if (waiting == 0 || fromAudio_.room() < waiting) return nullptr;
    for (uint32_t k = 1; k < waiting; ++k) fromAudio_.push(toAudio_.pop());
    return toAudio_.pop();
  }
  void retire(T* item) { fromAudio_.push(item); }

  // The owner's destructor, when no other thread uses the hand-over: everything still in it.
  T* drain() {
    if (T* item = toAudio_.pop()) return item;
    return fromAudio_.pop();
  }

 private:
  class Ring {
   public:
    bool push(T* item) {
      const uint32_t tail = tail_.load(std::memory_order_relaxed);
      if (tail - head_.load(std::memory_order_acquire) == kCapacity) return false;
      items_[tail % kCapacity] = item;
      tail_.store(tail + 1, std::memory_order_release);
      return true;
    }
    T* pop() {
      const uint32_t head = head_.load(std::memory_order_relaxed);
      if (head == tail_.load(std::memory_order_acquire)) return nullptr;
      T* item = items_[head % kCapacity];
      head_.store(head + 1, std::memory_order_release);
      return item;
    }
    // The reader's view of what waits, and the writer's of the room left.
    uint32_t count() const {
      return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_relaxed);
    }
    uint32_t room() const {
      return kCapacity - (tail_.load(std::memory_order_relaxed) - head_.load(std::memory_order_acquire));
    }

   private:
    std::atomic<uint32_t> head_{0};  // written by the reader
    std::atomic<uint32_t> tail_{0};  // written by the writer
    T* items_[kCapacity] = {};
  };

  Ring toAudio_;
  Ring fromAudio_;
};
