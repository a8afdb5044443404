// The category reply of the download area, read into list entries.
#pragma once
#include <cstdio>
#include <vector>
#include "host/estring.h"

// One file of a category reply: its list text and its id.
struct CategoryEntry {
    eString title;  // entities decoded, line feed kept
    int id;
};

// Reads a category reply: id line, title line, id line, ... in pieces of
// at most 255 bytes. A last id without a title adds nothing. At most
// community::maxCategoryEntries entries; the rest of the reply is left.
std::vector<CategoryEntry> readCategoryReply(FILE* reply);
// Reads /var/tmp/rss.tmp the same way and deletes it; empty when missing.
std::vector<CategoryEntry> loadCategoryReply();
