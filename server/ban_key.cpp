#include "server/ban_key.h"

#include <utf8proc.h>

#include <cstdlib>
#include <map>

#include "server/text_codec.h"

namespace srv {

namespace {

// Cyrillic and Greek letters (as case folding leaves them) whose capital
// or small form is drawn like a Latin letter; where the two imitate
// different letters (Greek N and v, Cyrillic H and small-cap h), the
// capital's exact likeness wins. Kept small on purpose.
const std::map<uint32_t, char>& lookAlikes() {
    static const std::map<uint32_t, char> table = {
        // Cyrillic
        {0x0430, 'a'}, {0x0432, 'b'}, {0x0435, 'e'}, {0x043A, 'k'}, {0x043C, 'm'}, {0x043D, 'h'},
        {0x043E, 'o'}, {0x0440, 'p'}, {0x0441, 'c'}, {0x0442, 't'}, {0x0443, 'y'}, {0x0445, 'x'},
        {0x0455, 's'}, {0x0456, 'i'}, {0x0458, 'j'}, {0x04BB, 'h'}, {0x04CF, 'l'}, {0x0501, 'd'},
        {0x051B, 'q'}, {0x051D, 'w'},
        // Greek
        {0x03B1, 'a'}, {0x03B2, 'b'}, {0x03B5, 'e'}, {0x03B6, 'z'}, {0x03B7, 'h'}, {0x03B9, 'i'},
        {0x03BA, 'k'}, {0x03BC, 'm'}, {0x03BD, 'n'}, {0x03BF, 'o'}, {0x03C1, 'p'}, {0x03C4, 't'},
        {0x03C5, 'y'}, {0x03C7, 'x'},
    };
    return table;
}

// NFKC with case folding and default ignorables removed; false when the
// text is not UTF-8.
bool foldCase(const std::string& text, std::string& folded) {
    utf8proc_uint8_t* out = nullptr;
    auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_COMPAT |
                                                  UTF8PROC_CASEFOLD | UTF8PROC_IGNORE);
    utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                      static_cast<utf8proc_ssize_t>(text.size()), &out, options);
    if (n < 0) return false;
    folded.assign(reinterpret_cast<const char*>(out), static_cast<size_t>(n));
    std::free(out);
    return true;
}

bool isBlank(uint32_t c) {
    return c == '_' || utf8proc_category(static_cast<utf8proc_int32_t>(c)) == UTF8PROC_CATEGORY_ZS ||
           (c >= '\t' && c <= '\r');
}

}  // namespace

std::string banKey(const std::string& nick) {
    std::string folded;
    if (!foldCase(nick, folded)) return nick;
    std::string latin;
    size_t first = std::string::npos, end = 0;  // the text between the blanks at the ends
    for (size_t i = 0; i < folded.size();) {
        size_t length = 0;
        uint32_t c = decodeUtf8At(folded, i, length);
        size_t start = latin.size();
        auto found = lookAlikes().find(c);
        if (found != lookAlikes().end()) latin += found->second;
        else latin.append(folded, i, length);
        if (!isBlank(c)) {
            if (first == std::string::npos) first = start;
            end = latin.size();
        }
        i += length;
    }
    if (first == std::string::npos) return "";
    // A Latin letter with a combining accent composes anew.
    std::string key;
    foldCase(latin.substr(first, end - first), key);
    return key;
}

}  // namespace srv
