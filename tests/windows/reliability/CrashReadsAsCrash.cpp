// Crashes on purpose. The runner must let a crash end the program at once with Wine's report on
// its output; a runner whose crash debugger waits for someone to close a dialog turns every crash
// of the battery into a silent time-out.
#include <cstdint>
#include <cstdio>

int main() {
  std::puts("writing through an invalid pointer");
  std::fflush(stdout);
  // Read back through a volatile, so the compiler cannot see what the pointer holds.
  volatile std::uintptr_t address = 16;
  *reinterpret_cast<int*>(address) = 1;
  return 0;
}
