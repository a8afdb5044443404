// The tree parser on expat. Server documents are untrusted: no external
// entity is ever loaded, a DOCTYPE with an internal subset (where entity
// bombs live) is refused, and so is nesting beyond maxDepth. maxNodes bounds
// the tree: a node costs some 30 times the four bytes of an empty element.
// maxText bounds one element's text, which its readers copy several times.
// maxMarkup bounds what expat holds of one unfinished tag or comment, and
// so its buffers; the name and attribute limits bound its work per element.
#include "host/xmltree.h"
#include <expat.h>
#include <iconv.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

namespace {

struct Node : XMLTreeNode {
    std::string name;
    std::string text;
    Node* lastChild = nullptr;
};

// Expat knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII itself. Other
// single-byte charsets (windows-1252, ISO-8859-15, ...) that a declaration
// or the caller names are mapped byte by byte through iconv; expat checks
// that the map keeps XML's ASCII where it must be.
int singleByteEncoding(void*, const XML_Char* name, XML_Encoding* info) {
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
    return XML_STATUS_OK;
}

}  // namespace

struct XMLTreeParser::Private {
    XML_Parser parser = nullptr;
    std::deque<Node> nodes;  // stable addresses; freed without recursion
    Node* root = nullptr;
    Node* current = nullptr;  // the innermost open element
    int depth = 0;
    bool failed = false;
    const char* refusal = nullptr;  // why we stopped expat ourselves
    std::string pending;            // input not yet handed to expat
    XML_Index fed = 0;              // bytes handed to expat so far
    size_t openToken = 0;           // what expat kept of an unfinished token

    void refuse(const char* reason) {
        if (!refusal) refusal = reason;
        XML_StopParser(parser, XML_FALSE);
    }

    static void startElement(void* self, const XML_Char* name, const XML_Char** attributes) {
        auto* d = static_cast<Private*>(self);
        if (d->refusal) return;
        if (strlen(name) > static_cast<size_t>(maxNameLength)) {
            d->refuse("element name too long");
            return;
        }
        size_t count = 0, bytes = 0;
        for (const XML_Char** at = attributes; at[0]; at += 2, ++count) bytes += strlen(at[0]) + strlen(at[1]);
        if (count > static_cast<size_t>(maxAttributes)) {
            d->refuse("too many attributes");
            return;
        }
        if (bytes > static_cast<size_t>(maxAttributeBytes)) {
            d->refuse("attribute data too long");
            return;
        }
        if (d->depth >= maxDepth) {
            d->refuse("elements nested too deeply");
            return;
        }
        if (d->nodes.size() >= static_cast<size_t>(maxNodes)) {
            d->refuse("too many elements");
            return;
        }
        Node& node = d->nodes.emplace_back();
        node.name = name;
        node.type = node.name.c_str();
        node.parent = d->current;
        if (d->current) {
            if (d->current->lastChild) d->current->lastChild->next = &node;
            else d->current->child = &node;
            d->current->lastChild = &node;
        } else if (!d->root) {
            d->root = &node;
        }
        d->current = &node;
        ++d->depth;
    }

    static void endElement(void* self, const XML_Char*) {
        auto* d = static_cast<Private*>(self);
        if (d->refusal || !d->current) return;
        // Texts grow piece by piece; the tree keeps them until it dies.
        if (d->current->text.capacity() > d->current->text.size() + 64) {
            d->current->text.shrink_to_fit();
            d->current->data = d->current->text.data();
        }
        d->current = static_cast<Node*>(d->current->parent);
        --d->depth;
    }

    static void characterData(void* self, const XML_Char* text, int length) {
        auto* d = static_cast<Private*>(self);
        if (d->refusal || !d->current) return;
        Node& node = *d->current;
        if (node.text.size() + static_cast<size_t>(length) > static_cast<size_t>(maxText)) {
            d->refuse("element text too long");
            return;
        }
        node.text.append(text, static_cast<size_t>(length));
        node.data = node.text.data();  // the buffer may have moved
    }

    static void startDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*,
                             int hasInternalSubset) {
        if (hasInternalSubset) static_cast<Private*>(self)->refuse("DOCTYPE with an internal subset refused");
    }
};

XMLTreeParser::XMLTreeParser(const char* encoding) : d(new Private) {
    // An encoding given here overrides the document's declaration.
    d->parser = XML_ParserCreate(encoding && *encoding ? encoding : nullptr);
    if (!d->parser) {
        d->failed = true;
        d->refusal = "out of memory";
        return;
    }
    XML_SetUserData(d->parser, d);
    XML_SetElementHandler(d->parser, &Private::startElement, &Private::endElement);
    XML_SetCharacterDataHandler(d->parser, &Private::characterData);
    XML_SetStartDoctypeDeclHandler(d->parser, &Private::startDoctype);
    XML_SetUnknownEncodingHandler(d->parser, &singleByteEncoding, nullptr);
    XML_SetParamEntityParsing(d->parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

XMLTreeParser::~XMLTreeParser() {
    if (d->parser) XML_ParserFree(d->parser);
    delete d;
}

int XMLTreeParser::Parse(const char* buffer, int length, int isFinal) {
    if (d->failed) return 0;
    if (length < 0 || (!buffer && length > 0)) {
        d->failed = true;
        d->refusal = "invalid buffer";
        return 0;
    }
    // Expat scans an unfinished token again from its start on every call:
    // hand it more only once the input has doubled, so that a long token
    // costs its length, not its length times the number of pieces.
    const char* input = buffer;
    size_t size = static_cast<size_t>(length);
    if (!d->pending.empty() || (!isFinal && size < 2 * d->openToken)) {
        d->pending.append(buffer ? buffer : "", size);
        if (!isFinal && d->pending.size() < 2 * d->openToken) return 1;
        input = d->pending.data();
        size = d->pending.size();
    }
    // At most maxMarkup bytes a call, so that an overlong token is refused
    // before expat has buffered (or taken apart) much more of it.
    size_t at = 0;
    do {
        size_t piece = std::min(size - at, static_cast<size_t>(maxMarkup));
        bool last = isFinal && at + piece == size;
        if (XML_Parse(d->parser, input + at, static_cast<int>(piece), last) == XML_STATUS_ERROR) {
            d->failed = true;
            break;
        }
        at += piece;
        d->fed += static_cast<XML_Index>(piece);
        // After a call, expat's position is the start of what it kept.
        d->openToken = static_cast<size_t>(d->fed - XML_GetCurrentByteIndex(d->parser));
        if (d->openToken > static_cast<size_t>(maxMarkup)) {
            d->failed = true;
            d->refusal = "markup too long";
        }
    } while (!d->failed && at < size);
    std::string().swap(d->pending);
    return d->failed ? 0 : 1;
}

XMLTreeNode* XMLTreeParser::RootNode() const { return d->root; }

const char* XMLTreeParser::ErrorString() const {
    if (d->refusal) return d->refusal;
    if (!d->failed) return "";
    return XML_ErrorString(XML_GetErrorCode(d->parser));
}
