// The tree parser's own look at a token that expat holds unfinished: which
// kind it is, and where it ends, found without handing expat the bytes
// again (expat scans an unfinished token from its start on every call).
// Comments and processing instructions are skipped here entirely: their
// bytes are checked as expat would check them and never buffered.
#pragma once
#include <cstddef>
#include <cstdint>

namespace emu {

enum class TokenKind { StartTag, EndTag, Comment, ProcessingInstruction, Other };

// The kind of a token from its first bytes; false while `length` is too
// short to tell.
bool classifyToken(const char* bytes, size_t length, TokenKind& kind);

// Finds the ">" that ends a start or end tag (outside quoted attribute
// values) and counts the attributes on the way, piece by piece.
class TagScanner {
public:
    static constexpr size_t notFound = static_cast<size_t>(-1);

    TagScanner();
    // `endTag`: no attributes, so no quotes either.
    void reset(bool endTag) { quotes = !endTag, quote = 0, attributeCount = 0; }
    // Scans `length` more bytes of the tag; the offset just past its ">",
    // or notFound.
    size_t scan(const char* bytes, size_t length);
    size_t attributes() const { return attributeCount; }

private:
    bool special[256] = {};  // the bytes the scan stops at
    bool quotes = true;
    char quote = 0;  // the open quote of an attribute value, or 0
    size_t attributeCount = 0;
};

// The characters a document's encoding allows, for skipped text: the
// single-byte encodings by a table of their code points, UTF-8 as such.
class CharacterRule {
public:
    static CharacterRule utf8();
    // `codePoints[b]`: the character of byte b, -1 where there is none.
    static CharacterRule singleByte(const int32_t* codePoints);

    bool isUtf8() const { return utf8Text; }
    bool allows(unsigned char byte) const { return allowed[byte]; }

private:
    bool utf8Text = false;
    bool allowed[256] = {};
};

// The content of a comment or processing instruction after the bytes expat
// holds: checked as expat would check it ("--" only in the closing "-->";
// characters the encoding allows), and its end found.
class SkippedMarkup {
public:
    static constexpr size_t notFound = static_cast<size_t>(-1);

    void start(bool comment, const CharacterRule* rule);
    // Scans `length` more bytes; the offset just past the closing "-->" or
    // "?>", or notFound. Sets failed() on a byte expat would refuse.
    size_t scan(const char* bytes, size_t length);
    bool failed() const { return bad; }
    // What expat is handed for the skipped part: the closing delimiter.
    const char* closing() const { return comment ? "-->" : "?>"; }
    // The skipped content ends inside a character: not well-formed.
    bool endsInsideCharacter() const { return pending != 0; }

private:
    bool takeUtf8(unsigned char byte);

    bool comment = true;
    const CharacterRule* rule = nullptr;
    bool plain[256] = {};  // bytes that need no more than passing over
    bool bad = false;
    bool previousMarks = false;  // the last byte was "-" (comment) or "?" (PI)
    bool doubleDash = false;     // "--" seen: only ">" may follow
    int pending = 0;             // continuation bytes still due (UTF-8)
    unsigned char low = 0x80, high = 0xBF;  // the range of the next one
    uint32_t codePoint = 0;
};

}  // namespace emu
