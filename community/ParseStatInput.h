// The statistics reply, turned into the labelled text of the statistics window.
#pragma once
#include <cstdio>
#include "host/estring.h"

namespace community {
// The line buffer of the statistics reader: a longer line arrives in
// pieces, each taken as a value.
inline constexpr int statLineBytes = 1024;
}  // namespace community

// Reads /var/tmp/shout.tmp, deletes it and returns the text in CORLANG;
// the empty string when the file cannot be opened.
eString ParseStatInput();

// The formatting itself, on an open reply: nine labelled values, then any
// further lines as they are; only the lines within replies::budgetBytes
// bytes are used.
eString formatStatistics(FILE* reply, int lang);
