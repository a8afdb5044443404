// Reading a reply the fetcher wrote: a stdio stream closed with its handle,
// and the byte budget of the readers that show a reply as text.
#pragma once
#include <cstdio>
#include <cstring>
#include <memory>

namespace replies {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

inline File open(const char* path) { return File(std::fopen(path, "r")); }

// Replies are small; only their first 64 KiB are shown, the rest is read
// and dropped, which bounds the text a view has to lay out.
inline constexpr long budgetBytes = 65536;

// The running total of the pieces read. take() says whether a piece still
// fits: once the total passes the budget, that piece and every later one
// are dropped.
class Budget {
public:
    bool take(const char* piece) {
        if (total > budgetBytes) return false;
        total += static_cast<long>(std::strlen(piece));
        return total <= budgetBytes;
    }
private:
    long total = 0;
};

}  // namespace replies
