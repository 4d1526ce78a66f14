// Counts heap allocations and frees made by the calling thread while it counts. Linked into a
// test executable, it replaces malloc and friends there; under AddressSanitizer, which owns
// the allocator, it listens through the sanitizer's allocation hooks instead.
#pragma once

namespace kt3test {

void startCountingAllocations ();
// Stops counting on this thread and returns what it counted since the start.
long stopCountingAllocations ();
// Whether the counter sees a new[]/delete[] pair made on this thread: without it a count of
// zero proves nothing.
bool counterSeesThisThread ();

} // namespace kt3test
