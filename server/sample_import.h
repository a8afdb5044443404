// Fills a new database from the sample data folder (server/data): the two
// feeds and their article pages, the sample shouts, the download area and
// its files, which are copied into the files folder.
#pragma once
#include <string>

#include "server/store.h"

namespace srv {

struct ImportCount {
    int news = 0;
    int shouts = 0;
    int files = 0;
};

// All or nothing: one transaction. Throws std::runtime_error on a problem
// in the data, naming the file.
ImportCount importSample(Store& store, const std::string& sampleDir, const std::string& filesDir);

// "Tue, 04 Mar 2025 18:42:00 +0100" (or GMT) as seconds and an offset.
bool parseFeedDate(const std::string& text, int64_t& posted, int& utcOffset);

}  // namespace srv
