// The content of a comment or processing instruction that the tree parser
// skips instead of handing it to expat, which would hold it whole.
#pragma once
#include <cstddef>
#include <cstdint>

namespace emu {

// The content after the bytes expat holds: checked as expat would check it
// ("--" only in the closing "-->"; characters the encoding allows), and its
// end found, piece by piece, without keeping it.
class SkippedMarkup {
public:
    static constexpr size_t notFound = static_cast<size_t>(-1);

    // The characters a document's encoding allows: the single-byte
    // encodings by a table of their code points, UTF-8 as such.
    class Characters {
    public:
        static Characters utf8();
        // `codePoints[b]`: the character of byte b, -1 where there is none.
        static Characters singleByte(const int32_t* codePoints);

        bool isUtf8() const { return utf8Text; }
        bool allows(unsigned char byte) const { return allowed[byte]; }

    private:
        bool utf8Text = false;
        bool allowed[256] = {};
    };

    void start(bool comment, const Characters* characters);
    // Scans `length` more bytes; the offset just past the closing "-->" or
    // "?>", or notFound. Sets failed() on a byte expat would refuse.
    size_t scan(const char* bytes, size_t length);
    bool failed() const { return bad; }
    // What expat is handed for the skipped part: the closing delimiter.
    const char* closing() const { return comment ? "-->" : "?>"; }

private:
    bool takeUtf8(unsigned char byte);

    bool comment = true;
    const Characters* rule = nullptr;
    bool plain[256] = {};  // bytes that need no more than passing over
    bool bad = false;
    bool previousMarks = false;  // the last byte was "-" (comment) or "?" (PI)
    bool doubleDash = false;     // "--" seen: only ">" may follow
    int pending = 0;             // continuation bytes still due (UTF-8)
    unsigned char low = 0x80, high = 0xBF;  // the range of the next one
    uint32_t codePoint = 0;
};

}  // namespace emu
