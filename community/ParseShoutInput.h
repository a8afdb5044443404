// The shout list reply, turned into the shoutbox's column text.
#pragma once
#include <cstdio>
#include "host/estring.h"

namespace community {
// The line buffer of the shout list reader: a longer line arrives in
// pieces, each taken as a line.
inline constexpr int shoutLineBytes = 1024;
}  // namespace community

// Reads /var/tmp/shout.tmp, deletes it and returns the text in CORLANG;
// the empty string when the file cannot be opened.
eString ParseShoutInput();

// The formatting itself, on an open reply: a header, then one row per four
// fields that follow the "end document head" line. Only the lines within
// replies::budgetBytes bytes after that line are used.
eString formatShoutList(FILE* reply, int lang);
