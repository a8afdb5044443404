#include "emu/xml_tree_builder.h"
#include <algorithm>
#include <cstring>
#include <functional>

namespace emu {

namespace {

// Texts and names share blocks of this size; a longer one gets its own.
constexpr size_t kBlockBytes = 16 * 1024;
// The text buffer of one depth is given back past this size when its
// element ends, so that a long description does not stay reserved.
constexpr size_t kKeptTextCapacity = 64 * 1024;

}  // namespace

XmlTreeBuilder::XmlTreeBuilder(XML_Parser expat)
    : parser(expat), lastChild(XMLTreeParser::maxDepth + 1), openText(XMLTreeParser::maxDepth + 1) {
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &startElement, &endElement);
    XML_SetCharacterDataHandler(parser, &characterData);
    XML_SetStartDoctypeDeclHandler(parser, &startDoctype);
}

void XmlTreeBuilder::refuse(const char* reason) {
    if (!stopReason) stopReason = reason;
    XML_StopParser(parser, XML_FALSE);
}

char* XmlTreeBuilder::store(const char* bytes, size_t length) {
    size_t size = length + 1;
    char* at;
    if (size > kBlockBytes / 4) {
        blocks.emplace_back(new char[size]);
        at = blocks.back().get();
    } else {
        if (size > blockLeft) {
            blocks.emplace_back(new char[kBlockBytes]);
            blockFree = blocks.back().get();
            blockLeft = kBlockBytes;
        }
        at = blockFree;
        blockFree += size;
        blockLeft -= size;
    }
    std::memcpy(at, bytes, length);
    at[length] = '\0';
    return at;
}

const char* XmlTreeBuilder::storedName(std::string_view name) {
    auto found = names.find(name);
    if (found != names.end()) return found->data();
    const char* copy = store(name.data(), name.size());
    names.insert(std::string_view(copy, name.size()));
    return copy;
}

// False for an element past the per-element limits.
bool XmlTreeBuilder::keeps(const XML_Char* name, const XML_Char** attributes) {
    size_t count = 0, bytes = 0;
    for (const XML_Char** at = attributes; at[0]; at += 2, ++count) {
        size_t nameLength = std::strlen(at[0]);
        bytes += nameLength + std::strlen(at[1]);
        attributeNames.insert(std::hash<std::string_view>()(std::string_view(at[0], nameLength)));
    }
    if (attributeNames.size() > static_cast<size_t>(XMLTreeParser::maxAttributeNames)) {
        refuse("too many attribute names");
        return false;
    }
    return count <= static_cast<size_t>(XMLTreeParser::maxAttributes) &&
           bytes <= static_cast<size_t>(XMLTreeParser::maxAttributeBytes) &&
           std::strlen(name) <= static_cast<size_t>(XMLTreeParser::maxNameLength);
}

void XmlTreeBuilder::startElement(void* self, const XML_Char* name, const XML_Char** attributes) {
    auto* b = static_cast<XmlTreeBuilder*>(self);
    if (b->stopReason) return;
    // Expat keeps every open element, dropped or not.
    if (b->depth >= XMLTreeParser::maxDepth) return b->refuse("elements nested too deeply");
    if (++b->elements > static_cast<size_t>(XMLTreeParser::maxNodes)) return b->refuse("too many elements");
    ++b->depth;
    bool keep = b->keeps(name, attributes);
    if (b->dropped || !keep) {
        ++b->dropped;
        return;
    }
    XMLTreeNode& node = b->nodes.emplace_back();
    node.type = b->storedName(name);
    node.parent = b->current;
    if (b->current) {
        XMLTreeNode*& last = b->lastChild[b->level];
        (last ? last->next : b->current->child) = &node;
        last = &node;
    } else if (!b->rootNode) {
        b->rootNode = &node;
    }
    b->current = &node;
    b->lastChild[++b->level] = nullptr;
}

void XmlTreeBuilder::endElement(void* self, const XML_Char*) {
    auto* b = static_cast<XmlTreeBuilder*>(self);
    if (b->stopReason) return;
    --b->depth;
    if (b->dropped) {
        --b->dropped;
        return;
    }
    TextBuffer& text = b->openText[b->level];
    if (text.size) b->current->data = b->store(text.bytes.get(), text.size);
    text.size = 0;
    if (text.capacity > kKeptTextCapacity) text = TextBuffer();
    b->current = b->current->parent;
    --b->level;
}

void XmlTreeBuilder::characterData(void* self, const XML_Char* text, int length) {
    auto* b = static_cast<XmlTreeBuilder*>(self);
    if (b->stopReason || b->dropped || !b->current) return;
    TextBuffer& open = b->openText[b->level];
    if (open.size + static_cast<size_t>(length) > static_cast<size_t>(XMLTreeParser::maxText))
        return b->refuse("element text too long");
    open.append(text, static_cast<size_t>(length));
}

void XmlTreeBuilder::TextBuffer::append(const char* text, size_t length) {
    if (size + length > capacity) {
        size_t grown = std::max(size + length, 2 * capacity + 64);
        std::unique_ptr<char[]> larger(new char[grown]);
        if (size) std::memcpy(larger.get(), bytes.get(), size);
        bytes = std::move(larger);
        capacity = grown;
    }
    std::memcpy(bytes.get() + size, text, length);
    size += length;
}

void XmlTreeBuilder::startDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*,
                                  int hasInternalSubset) {
    if (hasInternalSubset) static_cast<XmlTreeBuilder*>(self)->refuse("DOCTYPE with an internal subset refused");
}

}  // namespace emu
