// Counts what one thread allocates and locks while a census is open on it: malloc and its
// relatives (operator new goes through malloc) and the pthread locking calls, interposed in the
// program. Only the unsanitized thread program has it; elsewhere available() answers false.
#pragma once

namespace census {
bool available();
// Opens and closes the census on the calling thread.
void begin();
void end();
long allocations();
long locks();
}  // namespace census
