// The file detail reply of the download area.
#pragma once
#include <cstdio>
#include "host/estring.h"

namespace community {
// The line buffer of the detail reader: a longer line arrives in pieces.
inline constexpr int detailLineBytes = 2048;
}  // namespace community

// A detail reply: line 1 is the file name, the rest is laid out as text.
struct FileDetail {
    eString fileName;  // line 1 as read, line feed included
    eString text;
};

// Reads a detail reply in pieces of at most community::detailLineBytes - 1
// bytes and lays it out
// with the labels of language `lang`. Only the lines after the name that
// fit in replies::budgetBytes bytes are used.
FileDetail readFileDetail(FILE* reply, int lang);
// Reads /var/tmp/rss.tmp the same way and deletes it; empty when missing.
FileDetail loadFileDetail(int lang);
