// The tree parser's look at a token that expat holds unfinished: which
// kind it is, and for a tag where it ends, found without handing expat the
// bytes again (expat scans an unfinished token from its start on every
// call).
#pragma once
#include <cstddef>

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

}  // namespace emu
