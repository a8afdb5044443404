// The tree of one document, built from expat's events: compact nodes, each
// element name stored once, texts in blocks owned by the builder. Elements
// past the per-element limits of XMLTreeParser are dropped with their
// content; the document-wide limits stop expat.
#pragma once
#include <expat.h>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>
#include "host/xmltree.h"

namespace emu {

class XmlTreeBuilder {
public:
    explicit XmlTreeBuilder(XML_Parser parser);  // sets the handlers on `parser`
    XmlTreeBuilder(const XmlTreeBuilder&) = delete;
    XmlTreeBuilder& operator=(const XmlTreeBuilder&) = delete;

    XMLTreeNode* root() const { return rootNode; }
    // Why the builder stopped expat, or nullptr.
    const char* refusal() const { return stopReason; }

private:
    static void startElement(void* self, const XML_Char* name, const XML_Char** attributes);
    static void endElement(void* self, const XML_Char* name);
    static void characterData(void* self, const XML_Char* text, int length);
    static void startDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int hasInternalSubset);

    void refuse(const char* reason);
    bool keeps(const XML_Char* name, const XML_Char** attributes);
    const char* storedName(std::string_view name);
    char* store(const char* bytes, size_t length);  // NUL-terminated copy

    XML_Parser parser;
    std::deque<XMLTreeNode> nodes;  // stable addresses; freed without recursion
    std::set<std::string_view> names;
    std::unordered_set<size_t> attributeNames;  // hashes: only their number matters
    std::vector<std::unique_ptr<char[]>> blocks;
    char* blockFree = nullptr;  // the free end of the block being filled
    size_t blockLeft = 0;
    XMLTreeNode* rootNode = nullptr;
    XMLTreeNode* current = nullptr;    // the innermost open element kept
    int level = -1;                    // its depth in the tree
    std::vector<XMLTreeNode*> lastChild;  // by depth: the last child of the open element there
    // The text of an open element, as it arrives in many small pieces.
    struct TextBuffer {
        std::unique_ptr<char[]> bytes;
        size_t size = 0, capacity = 0;
        void append(const char* text, size_t length);
    };
    std::vector<TextBuffer> openText;  // by depth: the text of the open element there
    int depth = 0;    // open elements, dropped ones included
    int dropped = 0;  // open elements inside a dropped one, itself included
    size_t elements = 0;
    const char* stopReason = nullptr;
};

}  // namespace emu
