// Counts the bytes the process holds on the heap, through replacements of
// the C library's allocation functions (operator new ends up in malloc, so
// C++ allocations are counted too). Only for the benchmark executable.
#pragma once
#include <cstddef>

namespace heapmeter {
// Restarts the peak at what is held now.
void resetPeak();
// The highest number of bytes held since resetPeak, above what was held then.
long long peakSinceReset();
}  // namespace heapmeter
