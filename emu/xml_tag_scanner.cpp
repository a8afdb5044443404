#include "emu/xml_tag_scanner.h"
#include <cstring>
#include <initializer_list>

namespace emu {

bool classifyToken(const char* bytes, size_t length, TokenKind& kind) {
    auto startsWith = [&](const char* prefix) {
        size_t n = std::strlen(prefix);
        return std::memcmp(bytes, prefix, length < n ? length : n) == 0;
    };
    if (length == 0) return false;
    if (bytes[0] != '<') {
        kind = TokenKind::Other;  // a reference, a partial character, ...
        return true;
    }
    if (length < 2) return false;
    if (bytes[1] == '?') kind = TokenKind::ProcessingInstruction;
    else if (bytes[1] == '/') kind = TokenKind::EndTag;
    else if (bytes[1] != '!') kind = TokenKind::StartTag;
    else if (!startsWith("<!--")) kind = TokenKind::Other;  // a declaration, a CDATA section's start
    else if (length < 4) return false;
    else kind = TokenKind::Comment;
    return true;
}

TagScanner::TagScanner() {
    for (unsigned char c : {'>', '"', '\'', '='}) special[c] = true;
}

size_t TagScanner::scan(const char* bytes, size_t length) {
    for (size_t at = 0; at < length;) {
        if (quote) {
            const void* close = std::memchr(bytes + at, quote, length - at);
            if (!close) return notFound;
            at = static_cast<size_t>(static_cast<const char*>(close) - bytes) + 1;
            quote = 0;
            continue;
        }
        // Runs of other bytes, the names and blanks, in a tight loop.
        while (at < length && !special[static_cast<unsigned char>(bytes[at])]) ++at;
        if (at == length) break;
        char c = bytes[at++];
        if (c == '>') return at;
        if (!quotes) continue;
        if (c == '"' || c == '\'') quote = c;
        else if (c == '=') ++attributeCount;
    }
    return notFound;
}

}  // namespace emu
