// The tree parser on expat. Server documents are untrusted: no external
// entity is ever loaded, a DOCTYPE with an internal subset (where entity
// bombs live) is refused, and so are the document-wide limits of
// host/xmltree.h (XmlTreeBuilder applies them and drops elements past the
// per-element ones).
//
// Expat scans an unfinished token again from its start on every call, and
// holds it whole. So the input is staged here: an unfinished tag is kept
// until its ">" has arrived (counting its attributes and size on the way),
// then handed over in one call; a comment or processing instruction is
// skipped here, its bytes checked as expat would check them, and expat is
// handed only its closing delimiter; any other unfinished token is handed
// again only once the input has doubled.
#include "host/xmltree.h"
#include <expat.h>
#include <iconv.h>
#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include "emu/xml_skipped_markup.h"
#include "emu/xml_tag_scanner.h"
#include "emu/xml_tree_builder.h"

namespace {

// Input is handed to expat in pieces of at most this size, so that a tag
// it reads whole without our look at it is small.
constexpr size_t kPieceBytes = 4096;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

struct XMLTreeParser::Private {
    enum class Stage { Free, Tag, Junction, Skipping, Deferred };

    XML_Parser parser = nullptr;
    std::unique_ptr<emu::XmlTreeBuilder> builder;
    bool failed = false;
    const char* refusal = nullptr;  // why we stopped expat ourselves
    std::string pending;            // input not yet handed to expat
    XML_Index fed = 0;              // bytes handed to expat so far
    size_t openToken = 0;           // what expat kept of an unfinished token
    Stage stage = Stage::Free;
    emu::TokenKind kind = emu::TokenKind::Other;
    size_t scanned = 0;  // bytes of the pending tag already scanned
    emu::TagScanner tag;
    emu::SkippedMarkup skipped;
    std::unique_ptr<emu::SkippedMarkup::Characters> characters;  // unknown for UTF-16

    void fail(const char* reason) {
        failed = true;
        if (!refusal) refusal = reason;
    }
    void hand(const char* bytes, size_t length, bool last);
    void stageOpenToken(const char* next, size_t nextLength);
    size_t junction(const char* held, size_t heldLength, const char* next, size_t nextLength) const;
    size_t consume(const char* data, size_t size, bool final);
};

namespace {

// Expat knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII itself. Other
// single-byte charsets (windows-1252, ISO-8859-15, ...) that a declaration
// or the caller names are mapped byte by byte through iconv; expat checks
// that the map keeps XML's ASCII where it must be.
int singleByteEncoding(void* data, const XML_Char* name, XML_Encoding* info) {
    // The map holds native integers: ask for the machine's own byte order.
    const char* native = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? "UTF-32BE" : "UTF-32LE";
    iconv_t converter = iconv_open(native, name);
    if (converter == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char* inAt = &in;
        size_t inLeft = 1;
        uint32_t out = 0;
        char* outAt = reinterpret_cast<char*>(&out);
        size_t outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);  // initial state
        if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == EINVAL) {  // the start of a multi-byte sequence
                iconv_close(converter);
                return XML_STATUS_ERROR;
            }
            info->map[byte] = -1;
        } else {
            info->map[byte] = outLeft == 0 ? static_cast<int>(out) : -1;
        }
    }
    iconv_close(converter);
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    auto* d = static_cast<XMLTreeParser::Private*>(data);
    d->characters = std::make_unique<emu::SkippedMarkup::Characters>(emu::SkippedMarkup::Characters::singleByte(info->map));
    return XML_STATUS_OK;
}

// The characters of the encodings expat knows itself; none for UTF-16,
// whose markup is not in single bytes.
std::unique_ptr<emu::SkippedMarkup::Characters> knownCharacters(const char* encoding) {
    if (!encoding) return nullptr;
    if (strcasecmp(encoding, "UTF-8") == 0) return std::make_unique<emu::SkippedMarkup::Characters>(emu::SkippedMarkup::Characters::utf8());
    bool latin1 = strcasecmp(encoding, "ISO-8859-1") == 0;
    if (!latin1 && strcasecmp(encoding, "US-ASCII") != 0) return nullptr;
    int32_t codePoints[256];
    for (int b = 0; b < 256; ++b) codePoints[b] = latin1 || b < 0x80 ? b : -1;
    return std::make_unique<emu::SkippedMarkup::Characters>(emu::SkippedMarkup::Characters::singleByte(codePoints));
}

}  // namespace

void XMLTreeParser::Private::hand(const char* bytes, size_t length, bool last) {
    if (XML_Parse(parser, bytes, static_cast<int>(length), last) == XML_STATUS_ERROR) {
        failed = true;
        return;
    }
    fed += static_cast<XML_Index>(length);
    // After a call, expat's position is the start of what it kept.
    openToken = static_cast<size_t>(fed - XML_GetCurrentByteIndex(parser));
}

// The bytes of `next` to hand expat before a comment or processing
// instruction can be skipped: what expat holds must take in the opening
// "<!--", or the PI's target and a blank after it, and end at a character
// boundary, not in "-" (comment) or "?" (PI). SIZE_MAX while that point is
// not in sight.
size_t XMLTreeParser::Private::junction(const char* held, size_t heldLength, const char* next,
                                        size_t nextLength) const {
    const bool comment = kind == emu::TokenKind::Comment;
    const char mark = comment ? '-' : '?';
    const size_t total = heldLength + nextLength;
    auto byte = [&](size_t at) { return at < heldLength ? held[at] : next[at - heldLength]; };
    size_t opening = comment ? 4 : SIZE_MAX;  // bytes expat must hold first
    for (size_t at = 2; !comment && at < total; ++at)
        if (isSpace(byte(at))) {
            opening = at + 1;
            break;
        }
    for (size_t cut = std::max(heldLength, opening); cut < total; ++cut) {
        bool boundary = !characters->isUtf8() || (static_cast<unsigned char>(byte(cut)) & 0xC0) != 0x80;
        if (byte(cut - 1) != mark && boundary) return cut - heldLength;
    }
    return SIZE_MAX;
}

// Decides how to go on after a call left expat holding an unfinished token;
// `next` is the input that follows.
void XMLTreeParser::Private::stageOpenToken(const char* next, size_t nextLength) {
    stage = Stage::Free;
    if (openToken == 0) return;
    stage = Stage::Deferred;
    int offset = 0, size = 0;
    const char* context = XML_GetInputContext(parser, &offset, &size);
    if (!context || size - offset != static_cast<int>(openToken)) return;
    const char* held = context + offset;
    char head[4];
    size_t known = std::min(openToken, sizeof head);
    std::memcpy(head, held, known);
    size_t more = std::min(sizeof head - known, nextLength);
    std::memcpy(head + known, next, more);
    if (!emu::classifyToken(head, known + more, kind)) return;  // a few more bytes decide it
    if (kind == emu::TokenKind::StartTag || kind == emu::TokenKind::EndTag) {
        tag.reset(kind == emu::TokenKind::EndTag);
        tag.scan(held, openToken);
        scanned = 0;
        stage = Stage::Tag;
    } else if (kind == emu::TokenKind::Comment || kind == emu::TokenKind::ProcessingInstruction) {
        if (!characters) return;
        if (kind == emu::TokenKind::ProcessingInstruction && openToken >= 5 && strncasecmp(held, "<?xml", 5) == 0 &&
            (openToken == 5 || isSpace(held[5])))
            return;  // the XML declaration: expat reads it
        stage = Stage::Junction;
    }
}

// Hands expat what it can take of `data`; the offset up to which it did.
size_t XMLTreeParser::Private::consume(const char* data, size_t size, bool final) {
    size_t at = 0;
    while (!failed) {
        const char* rest = data + at;
        const size_t left = size - at;
        size_t take = 0;  // bytes of `rest` for expat in this turn
        switch (stage) {
        case Stage::Free:
            take = std::min(left, kPieceBytes);
            if (take == 0 && !final) return at;
            break;
        case Stage::Tag: {
            size_t end = tag.scan(rest + scanned, left - scanned);
            bool found = end != emu::TagScanner::notFound;
            scanned = found ? scanned + end : left;
            if (openToken + scanned > static_cast<size_t>(maxTagBytes)) fail("tag too long");
            else if (tag.attributes() > static_cast<size_t>(maxTagAttributes)) fail("too many attributes");
            if (failed || (!found && !final)) return at;
            // The tag, and a piece after it as in the free stage.
            take = found ? std::min(left, scanned + kPieceBytes) : left;
            break;
        }
        case Stage::Junction: {
            int offset = 0, heldSize = 0;
            const char* context = XML_GetInputContext(parser, &offset, &heldSize);
            size_t cut = junction(context + offset, openToken, rest, left);
            if (cut == 0) {
                skipped.start(kind == emu::TokenKind::Comment, characters.get());
                stage = Stage::Skipping;
                continue;
            }
            if (cut == SIZE_MAX) {  // expat reads on, as with any other token
                if (!final && left < 2 * openToken) return at;
                cut = final ? left : std::min(left, std::max(2 * openToken, kPieceBytes));
            }
            take = cut;
            break;
        }
        case Stage::Skipping: {
            size_t end = skipped.scan(rest, left);
            if (skipped.failed()) fail("comment or processing instruction not well-formed");
            if (failed) return at;
            if (end == emu::SkippedMarkup::notFound) {
                if (final) hand("", 0, true);  // expat reports the unclosed token
                return size;
            }
            at += end;
            const char* closing = skipped.closing();
            hand(closing, std::strlen(closing), final && at == size);
            if (final && at == size) return size;
            stageOpenToken(data + at, size - at);
            continue;
        }
        case Stage::Deferred:
            if (!final && left < 2 * openToken) return at;
            take = final ? left : std::min(left, std::max(2 * openToken, kPieceBytes));
            break;
        }
        bool last = final && take == left;
        hand(rest, take, last);
        at += take;
        if (failed || last) return at;
        if ((stage == Stage::Deferred || stage == Stage::Junction) && openToken > static_cast<size_t>(maxMarkup))
            fail("markup too long");
        stageOpenToken(data + at, size - at);
    }
    return at;
}

XMLTreeParser::XMLTreeParser(const char* encoding) : d(new Private) {
    // An encoding given here overrides the document's declaration.
    const char* chosen = encoding && *encoding ? encoding : nullptr;
    d->parser = XML_ParserCreate(chosen);
    if (!d->parser) {
        d->fail("out of memory");
        return;
    }
    d->builder = std::make_unique<emu::XmlTreeBuilder>(d->parser);
    d->characters = knownCharacters(chosen);
    XML_SetUnknownEncodingHandler(d->parser, &singleByteEncoding, d);
    XML_SetParamEntityParsing(d->parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

XMLTreeParser::~XMLTreeParser() {
    if (d->parser) XML_ParserFree(d->parser);
    delete d;
}

int XMLTreeParser::Parse(const char* buffer, int length, int isFinal) {
    if (d->failed) return 0;
    if (length < 0 || (!buffer && length > 0)) {
        d->fail("invalid buffer");
        return 0;
    }
    const char* input = buffer ? buffer : "";
    size_t size = static_cast<size_t>(length);
    if (!d->pending.empty()) {
        d->pending.append(input, size);
        input = d->pending.data();
        size = d->pending.size();
    }
    size_t used = d->consume(input, size, isFinal != 0);
    if (d->failed) {
        std::string().swap(d->pending);
        return 0;
    }
    if (input == d->pending.data()) {
        d->pending.erase(0, used);
    } else {
        d->pending.assign(input + used, size - used);
    }
    if (d->pending.empty()) std::string().swap(d->pending);
    return 1;
}

XMLTreeNode* XMLTreeParser::RootNode() const { return d->builder ? d->builder->root() : nullptr; }

const char* XMLTreeParser::ErrorString() const {
    if (d->builder && d->builder->refusal()) return d->builder->refusal();
    if (d->refusal) return d->refusal;
    if (!d->failed) return "";
    return XML_ErrorString(XML_GetErrorCode(d->parser));
}
