// Article page extraction: the downloaded article page as plain text with a
// small header (title, author, a third line, read count, separator).
#pragma once
#include "host/estring.h"

// Reads and deletes /var/tmp/rss2.tmp; empty when the file does not open.
// Only the lines within replies::budgetBytes bytes are used.
eString Selchoice1();
