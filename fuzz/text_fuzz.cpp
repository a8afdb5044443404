// The six cleaning functions against their plain restarting transcriptions:
// a finding is a crash or a different result. The first byte picks the
// function and, for the replacements, the pattern.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "tests/text/reference_text.h"
#include "text/text_cleaning.h"

static void check(bool same) {
    if (!same) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const std::pair<const char*, const char*> rules[] = {
        {"&amp;", "&"}, {"//", "/"}, {"aa", "a"}, {"<br />", "\n"}, {"ab", "ba"}, {"=", ""}, {"&", "e"}, {" ", "_"}};
    const uint8_t choice = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));  // C-string functions see up to the first NUL
    const auto& [pattern, replacement] = rules[(choice >> 3) % 8];
    switch (choice % 6) {
    case 0: {
        std::string fast = text;
        replace(fast.data(), pattern, replacement);
        check(std::string(fast.c_str()) == reference::replace(text, pattern, replacement));
        break;
    }
    case 1: {
        eString fast = text;
        replace_sonderzeichen(fast);
        check(fast == reference::replace_sonderzeichen(text));
        break;
    }
    case 2:
        check(replaceAll(text, pattern, replacement) == reference::replaceAll(text, pattern, replacement));
        break;
    case 3:
        check(removeTags(text) == reference::removeTags(text));
        break;
    case 4:
        check(stripHTMLTags(text) == reference::stripHTMLTags(text));
        break;
    case 5: {
        eString fast = text;
        trim1(fast);
        check(fast == reference::trim1(text));
        break;
    }
    }
    return 0;
}
