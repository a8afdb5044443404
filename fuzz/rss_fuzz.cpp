// The RSS parser on any feed, through a file as on the box. The first byte
// picks a declaration (none, UTF-8, ISO-8859-1) so both encodings are fed.
#include <string>
#include "fuzz_support.h"
#include "news/RSSParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* declarations[] = {"", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n",
                                         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"};
    std::string feed = declarations[data[0] % 3];
    feed.append(reinterpret_cast<const char*>(data + 1), size - 1);
    static const std::string path = fuzzing::scratchFile("feed.xml");
    fuzzing::writeFile(path.c_str(), reinterpret_cast<const uint8_t*>(feed.data()), feed.size());
    fuzzing::answerBoxes();
    RSSParser parser;
    parser.parse(path);
    int expected = 0;
    for (const NewsItem& item : parser.items)
        if (item.index != expected++) std::abort();  // numbered straight through
    return 0;
}
