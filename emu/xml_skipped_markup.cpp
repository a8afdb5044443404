#include "emu/xml_skipped_markup.h"

namespace emu {

namespace {

bool isXmlCharacter(int32_t c) {
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    return c < 0xD800 || (c > 0xDFFF && c < 0xFFFE) || (c > 0xFFFF && c <= 0x10FFFF);
}

}  // namespace

SkippedMarkup::Characters SkippedMarkup::Characters::utf8() {
    Characters rule;
    rule.utf8Text = true;
    for (int b = 0; b < 0x80; ++b) rule.allowed[b] = isXmlCharacter(b);
    return rule;
}

SkippedMarkup::Characters SkippedMarkup::Characters::singleByte(const int32_t* codePoints) {
    Characters rule;
    for (int b = 0; b < 256; ++b) rule.allowed[b] = codePoints[b] >= 0 && isXmlCharacter(codePoints[b]);
    return rule;
}

void SkippedMarkup::start(bool isComment, const Characters* characters) {
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
