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
    // error (also for a DOCTYPE with an internal subset, nesting deeper
    // than maxDepth, more than maxNodes elements, an element text longer
    // than maxText bytes, or beyond the markup, name and attribute limits
    // below), non-zero otherwise. Chunks may be of any size; a piece of an
    // unfinished tag is kept until more input arrives.
    virtual int Parse(const char* buffer, int length, int isFinal);
    XMLTreeNode* RootNode() const;
    const char* ErrorString() const;

    static constexpr int maxDepth = 256;
    // Elements of one document; a feed of a few hundred items needs a few
    // thousand.
    static constexpr int maxNodes = 32768;
    // Bytes of one element's character data (UTF-8): far more than any
    // title or description.
    static constexpr int maxText = 256 * 1024;
    // Bytes of one element name.
    static constexpr int maxNameLength = 1024;
    // Attributes of one element, and their names and values in bytes. The
    // tree keeps no attributes; these bound the parser's work on them.
    static constexpr int maxAttributes = 256;
    static constexpr int maxAttributeBytes = 64 * 1024;
    // Bytes of one tag, comment, processing instruction or declaration as
    // written (it is held whole until it ends). Room for the limits above.
    static constexpr int maxMarkup = 128 * 1024;

    struct Private;
private:
    Private* d;  // owned
};
