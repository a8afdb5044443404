// Limits of the community readers beyond the shared reply budget
// (net/reply_file.h).
#pragma once
#include <cstddef>
#include "net/reply_file.h"

namespace community {

// A category lists a few dozen files; a longer reply keeps its first
// entries, so that a runaway reply cannot fill the memory with list rows.
inline constexpr size_t maxCategoryEntries = 5000;
}  // namespace community
