// The category reply of the download area, read into list entries.
#pragma once
#include <cstdio>
#include <vector>
#include "host/estring.h"

namespace community {
// The line buffer of the category reader: a longer line arrives in pieces.
inline constexpr int categoryLineBytes = 256;
// A category lists a few dozen files; a longer reply keeps its first
// entries, so that a runaway reply cannot fill the memory with list rows.
inline constexpr size_t maxCategoryEntries = 5000;
}  // namespace community

// One file of a category reply: its list text and its id.
struct CategoryEntry {
    eString title;  // entities decoded, line feed kept
    int id;
};

// Reads a category reply: id line, title line, id line, ... in pieces of
// at most community::categoryLineBytes - 1 bytes. A last id without a title adds nothing. At most
// community::maxCategoryEntries entries; the rest of the reply is left.
std::vector<CategoryEntry> readCategoryReply(FILE* reply);
// Reads /var/tmp/rss.tmp the same way and deletes it; empty when missing.
std::vector<CategoryEntry> loadCategoryReply();
