#include "community/CategoryReply.h"
#include <unistd.h>
#include "net/reply_file.h"
#include "settings/paths.h"
#include "text/decimal.h"
#include "text/text_cleaning.h"

std::vector<CategoryEntry> readCategoryReply(FILE* reply) {
    std::vector<CategoryEntry> entries;
    char buffer[community::categoryLineBytes];
    bool wantId = true;
    int id = 0;
    while (entries.size() < community::maxCategoryEntries && std::fgets(buffer, sizeof buffer, reply)) {
        if (wantId) {
            id = readDecimal(buffer);  // a list key: 32 bits on every CPU
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
