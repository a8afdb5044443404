#include "news/feed_reading.h"
#include <algorithm>
#include <cctype>
#include <cstring>
#include "host/xmltree.h"

namespace feedreading {

namespace {

const char* findBytes(const char* from, const char* end, const char* pattern) {
    size_t n = std::strlen(pattern);
    const char* hit = std::search(from, end, pattern, pattern + n);
    return hit == end ? nullptr : hit;
}

}  // namespace

bool declaredEncoding(const char* chunk, size_t length, eString& name) {
    const char* end = chunk + length;
    const char* at = findBytes(chunk, end, "encoding=");
    if (!at) return false;
    // Either quote opens the value, as XML allows; the same one closes it.
    const char* open = std::find_if(at, end, [](char c) { return c == '"' || c == '\''; });
    if (open == end) return false;
    const char* close = std::find(open + 1, end, *open);
    if (close == end) return false;
    if (static_cast<size_t>(close - open - 1) > maxEncodingName) return false;
    name.assign(open + 1, close);
    return true;
}

eString rssEncoding(const char* chunk, size_t length) {
    eString name;
    if (!declaredEncoding(chunk, length, name)) return "ISO-8859-1";
    // A Turkish "windows-1254" is not among the two names the XML parser is
    // given either, so it is read as ISO-8859-1 like every other name.
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name != "ISO-8859-1" && name != "UTF-8") return "ISO-8859-1";
    return name;
}

eString configEncoding(const char* chunk, size_t length) {
    eString name;
    if (!declaredEncoding(chunk, length, name)) return "ISO-8859-1";
    return name;
}

bool streamInto(XMLTreeParser& parser, std::FILE* file, char* chunk, size_t length) {
    for (size_t total = length;; total += length) {
        if (total > maxFeedBytes) return false;
        bool last = length < chunkSize;
        if (!parser.Parse(chunk, static_cast<int>(length), last ? 1 : 0)) return false;
        if (last) return true;
        length = std::fread(chunk, 1, chunkSize, file);
    }
}

eString nodeText(const XMLTreeNode* node) {
    const char* data = node->GetData();
    return data ? eString(data) : eString();
}

bool isNamed(const XMLTreeNode* node, const char* name) {
    return node->GetType() && std::strcmp(node->GetType(), name) == 0;
}

}  // namespace feedreading
