// The feed-list parser on any file.
#include <string>
#include "fuzz_support.h"
#include "news/ConfigParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzing::scratchFile("feeds.xml");
    fuzzing::writeFile(path.c_str(), data, size);
    fuzzing::answerBoxes();
    ConfigParser parser;
    int ok = parser.parse(path);
    if (!ok && !parser.items.empty()) std::abort();  // a failed parse adds nothing
    return 0;
}
