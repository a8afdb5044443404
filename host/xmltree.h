// The host's XML tree parser (expat underneath).
//
// Ownership: the parser owns the tree; nodes live until the parser dies.
#pragma once
#include "host_api.h"

class HOST_API XMLTreeNode {
public:
    const char* GetType() const { return type; }  // the element name
    const char* GetData() const { return data; }  // character data, or nullptr
    XMLTreeNode* GetChild() const { return child; }
    XMLTreeNode* GetNext() const { return next; }

    // Filled by the parser.
    const char* type = nullptr;
    char* data = nullptr;
    XMLTreeNode* parent = nullptr;
    XMLTreeNode* child = nullptr;
    XMLTreeNode* next = nullptr;
};

class HOST_API XMLTreeParser {
public:
    // `encoding`: "UTF-8" or "ISO-8859-1" (other single-byte charsets such
    // as "windows-1252" work too; nullptr: the document's declaration); it
    // overrides the document's own declaration. Element texts come out in
    // UTF-8.
    explicit XMLTreeParser(const char* encoding);
    virtual ~XMLTreeParser();  // frees the tree, without recursion
    XMLTreeParser(const XMLTreeParser&) = delete;
    XMLTreeParser& operator=(const XMLTreeParser&) = delete;

    // Feeds one chunk; `isFinal` set on the last. Returns 0 on a syntax
    // error, and on the refusals below; non-zero otherwise. Chunks may be of
    // any size; a piece of an unfinished tag is kept until more input
    // arrives.
    virtual int Parse(const char* buffer, int length, int isFinal);
    XMLTreeNode* RootNode() const;
    const char* ErrorString() const;

    // Refused (Parse returns 0): a DOCTYPE with an internal subset, nesting
    // deeper than maxDepth, more than maxNodes elements (dropped ones
    // included), an element text longer than maxText bytes, and markup past
    // the limits further down, which expat would have to hold or keep whole.
    static constexpr int maxDepth = 256;
    // Elements of one document; a feed of a few hundred items needs a few
    // thousand.
    static constexpr int maxNodes = 32768;
    // Bytes of one element's character data (UTF-8): far more than any
    // title or description.
    static constexpr int maxText = 256 * 1024;

    // An element past one of these is dropped with its content, and the
    // rest of the document is read. Feeds use names of a few dozen bytes and
    // a handful of attributes; a long enclosure or tracking address is tens
    // of kilobytes. The tree keeps no attributes.
    static constexpr int maxNameLength = 4096;
    static constexpr int maxAttributes = 1024;
    static constexpr int maxAttributeBytes = 1024 * 1024;  // names and values together

    // Expat holds a tag whole until it ends, and keeps every attribute name
    // it has seen until the parser dies: refused past these.
    static constexpr int maxTagBytes = 2 * maxAttributeBytes;    // one tag as written
    static constexpr int maxTagAttributes = 4 * maxAttributes;   // attributes written in one tag
    static constexpr int maxAttributeNames = 4 * maxAttributes;  // distinct ones in one document
    // Bytes of any other unfinished token (a declaration, a reference).
    // Comments and processing instructions have no limit: the parser skips
    // them without holding them when the encoding is given and single-byte
    // or UTF-8 (otherwise they count as other tokens).
    static constexpr int maxMarkup = 128 * 1024;

    struct Private;
private:
    Private* d;  // owned
};
