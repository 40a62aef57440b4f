#pragma once

// Memory of the benchmark program as its allocations see it: this program replaces the global
// operator new and delete with versions that count the bytes of live blocks (by
// malloc_usable_size), so that a benchmark can read the peak held during one request.

#include <cstdint>

namespace pirell::bench {

// Bytes held by live allocations now.
std::int64_t LiveBytes();
// The highest LiveBytes since the last ResetPeak.
std::int64_t PeakBytes();
// Starts a new peak from what is held now.
void ResetPeak();

}  // namespace pirell::bench
