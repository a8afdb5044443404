// Reading a server reply the way every community reader does: a stdio
// stream, closed when the handle goes away.
#pragma once
#include <cstdio>
#include <memory>

namespace community {
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using ReplyFile = std::unique_ptr<FILE, FileCloser>;

inline ReplyFile openReply(const char* path) { return ReplyFile(std::fopen(path, "r")); }

// Replies are small; only the first 64 KiB after the start of the useful
// part are shown, the rest is read and dropped. The file detail's text
// (the lines after the file name) keeps to the same budget.
inline constexpr long replyBudget = 65536;

// A category lists a few dozen files; a longer reply keeps its first
// entries, so that a runaway reply cannot fill the memory with list rows.
inline constexpr size_t maxCategoryEntries = 5000;
}  // namespace community
