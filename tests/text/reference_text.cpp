#include "reference_text.h"
#include "text/entity_table.h"

namespace reference {

std::string replace(std::string text, const std::string& pattern, const std::string& replacement) {
    // Left to right, non-overlapping; written text is not searched again.
    std::string out;
    size_t read = 0, hit;
    while ((hit = text.find(pattern, read)) != std::string::npos) {
        out += text.substr(read, hit - read) + replacement;
        read = hit + pattern.size();
    }
    return out + text.substr(read);
}

std::string replace_sonderzeichen(std::string text) {
    text = text.substr(0, text.find('\0'));
    for (size_t row = 0; row < entityTableSize; ++row)
        text = replace(text, entityTable[row].entity, entityTable[row].replacement);
    return text;
}

std::string replaceAll(std::string text, const std::string& pattern, const std::string& replacement) {
    size_t at;
    while ((at = text.find(pattern, 0)) != std::string::npos) text.replace(at, pattern.size(), replacement);
    return text;
}

std::string removeTags(const std::string& text) {
    // Each "<" that a ">" follows opens a tag up to that ">"; the rest stays.
    std::string out;
    size_t read = 0, open;
    while ((open = text.find('<', read)) != std::string::npos && text.find('>', open) != std::string::npos) {
        out += text.substr(read, open - read);
        read = text.find('>', open) + 1;
    }
    out += text.substr(read);
    return out.empty() ? text : out;
}

std::string stripHTMLTags(std::string text) {
    for (;;) {
        size_t open = text.find('<', 0);
        if (open == std::string::npos) return text;
        size_t close = text.find('>', open);
        if (close == std::string::npos) return text;
        text.erase(open, close - open + 1);
    }
}

std::string trim1(std::string text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return text.substr(0, text.empty() ? 0 : text.size() - 1);
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace reference
