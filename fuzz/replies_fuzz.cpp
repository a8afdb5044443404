// The four community reply readers on any reply; the first byte picks the
// reader and the language.
#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    int lang = 1 + data[0] % 3;
    FILE* reply = fuzzing::memoryFile(data + 1, size - 1);
    if (!reply) return 0;
    switch ((data[0] / 3) % 4) {
    case 0:
        formatShoutList(reply, lang);
        break;
    case 1:
        formatStatistics(reply, lang);
        break;
    case 2:
        readCategoryReply(reply);
        break;
    case 3:
        readFileDetail(reply, lang);
        break;
    }
    std::fclose(reply);
    return 0;
}
