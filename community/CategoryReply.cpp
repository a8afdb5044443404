#include "community/CategoryReply.h"
#include <unistd.h>
#include <climits>
#include <cstdlib>
#include "community/reply_file.h"
#include "settings/paths.h"
#include "text/text_cleaning.h"

namespace {
// strtol in base 10, held to the 32 bits of a list key the way the box's
// 32-bit long would saturate.
int readId(const char* line) {
    long value = std::strtol(line, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
}  // namespace

std::vector<CategoryEntry> readCategoryReply(FILE* reply) {
    std::vector<CategoryEntry> entries;
    char buffer[256];
    bool wantId = true;
    int id = 0;
    while (entries.size() < community::maxCategoryEntries && std::fgets(buffer, sizeof buffer, reply)) {
        if (wantId) {
            id = readId(buffer);
        } else {
            replace_sonderzeichen(buffer);
            entries.push_back(CategoryEntry{buffer, id});
        }
        wantId = !wantId;
    }
    return entries;
}

std::vector<CategoryEntry> loadCategoryReply() {
    std::vector<CategoryEntry> entries;
    if (replies::File reply = replies::open(paths::feedFile))
        entries = readCategoryReply(reply.get());
    unlink(paths::feedFile);
    return entries;
}
