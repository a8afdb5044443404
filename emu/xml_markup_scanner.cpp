#include "emu/xml_markup_scanner.h"
#include <cstring>
#include <initializer_list>

namespace emu {

namespace {

bool isXmlCharacter(int32_t c) {
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    return c < 0xD800 || (c > 0xDFFF && c < 0xFFFE) || (c > 0xFFFF && c <= 0x10FFFF);
}

}  // namespace

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

CharacterRule CharacterRule::utf8() {
    CharacterRule rule;
    rule.utf8Text = true;
    for (int b = 0; b < 0x80; ++b) rule.allowed[b] = isXmlCharacter(b);
    return rule;
}

CharacterRule CharacterRule::singleByte(const int32_t* codePoints) {
    CharacterRule rule;
    for (int b = 0; b < 256; ++b) rule.allowed[b] = codePoints[b] >= 0 && isXmlCharacter(codePoints[b]);
    return rule;
}

void SkippedMarkup::start(bool isComment, const CharacterRule* characters) {
    *this = SkippedMarkup();
    comment = isComment;
    rule = characters;
    const unsigned char mark = comment ? '-' : '?';
    for (int b = 0; b < 256; ++b) plain[b] = rule->allows(static_cast<unsigned char>(b)) && b != mark && b < 0x80;
    if (!rule->isUtf8())
        for (int b = 0x80; b < 256; ++b) plain[b] = rule->allows(static_cast<unsigned char>(b));
}

bool SkippedMarkup::takeUtf8(unsigned char byte) {
    if (pending == 0) {
        if (byte < 0x80) return rule->allows(byte);
        if (byte >= 0xC2 && byte <= 0xDF) pending = 1, codePoint = byte & 0x1F;
        else if (byte >= 0xE0 && byte <= 0xEF) pending = 2, codePoint = byte & 0x0F;
        else if (byte >= 0xF0 && byte <= 0xF4) pending = 3, codePoint = byte & 0x07;
        else return false;
        // No overlong form, no surrogate, nothing past U+10FFFF.
        low = byte == 0xE0 ? 0xA0 : byte == 0xF0 ? 0x90 : 0x80;
        high = byte == 0xED ? 0x9F : byte == 0xF4 ? 0x8F : 0xBF;
        return true;
    }
    if (byte < low || byte > high) return false;
    low = 0x80, high = 0xBF;
    codePoint = codePoint << 6 | (byte & 0x3F);
    return --pending > 0 || isXmlCharacter(static_cast<int32_t>(codePoint));
}

size_t SkippedMarkup::scan(const char* bytes, size_t length) {
    const char mark = comment ? '-' : '?';
    for (size_t at = 0; at < length && !bad; ++at) {
        // Runs of bytes that neither end nor break it, in a tight loop.
        if (!previousMarks && pending == 0) {
            while (at < length && plain[static_cast<unsigned char>(bytes[at])]) ++at;
            if (at == length) break;
        }
        auto byte = static_cast<unsigned char>(bytes[at]);
        if (doubleDash) {  // "--" ends a comment or breaks it
            if (byte == '>' && pending == 0) return at + 1;
            bad = true;
            break;
        }
        if (byte == '>' && previousMarks && !comment) {
            if (pending == 0) return at + 1;
            bad = true;
            break;
        }
        if (byte == static_cast<unsigned char>(mark) && previousMarks && comment) doubleDash = true;
        previousMarks = byte == static_cast<unsigned char>(mark);
        bad = !(rule->isUtf8() ? takeUtf8(byte) : rule->allows(byte));
    }
    return notFound;
}

}  // namespace emu
