#pragma once

#include <cstddef>

namespace pirell::testing {

// The bytes of the live allocations of the process's heap now: the sanitizer's own count under
// AddressSanitizer, glibc's count natively on Linux, the busy blocks of the process's heaps on
// Windows. Slow on Windows (it walks the heaps): look a few times, not at every step.
std::size_t HeapInUse();

}  // namespace pirell::testing
