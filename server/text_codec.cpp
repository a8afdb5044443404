#include "server/text_codec.h"

#include <cstdint>
#include <cstdlib>

namespace srv {

namespace {

// The code point at `i` and its length in bytes; length 0 when invalid.
uint32_t decodeAt(const std::string& text, size_t i, size_t& length) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    uint32_t cp = lead & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    length = n;
    return cp;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

namespace {
// The markup characters as entities; `quotes` adds the double quote.
std::string escapeMarkup(const std::string& text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            out += quotes ? "&quot;" : "\"";
            break;
        default: out += c;
        }
    }
    return out;
}
}  // namespace

std::string htmlEscape(const std::string& plain) { return escapeMarkup(plain, true); }

std::string xmlEscape(const std::string& text) { return escapeMarkup(text, false); }

std::string latin1Xml(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        size_t n = 0;
        uint32_t cp = decodeAt(utf8, i, n);
        if (n == 0) {  // not UTF-8: the byte as it is
            out += utf8[i++];
            continue;
        }
        if (cp < 0x100) out += static_cast<char>(cp);
        else out += "&#" + std::to_string(cp) + ";";
        i += n;
    }
    return out;
}

std::string decodeBasicEntities(const std::string& html) {
    static const struct {
        const char* name;
        char value;
    } named[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    std::string out;
    for (size_t i = 0; i < html.size();) {
        bool done = false;
        if (html[i] == '&') {
            for (const auto& e : named) {
                if (html.compare(i, std::string(e.name).size(), e.name) == 0) {
                    out += e.value;
                    i += std::string(e.name).size();
                    done = true;
                    break;
                }
            }
            if (!done && html.compare(i, 2, "&#") == 0) {
                bool hex = i + 2 < html.size() && (html[i + 2] == 'x' || html[i + 2] == 'X');
                size_t start = i + (hex ? 3 : 2);
                char* end = nullptr;
                unsigned long cp = std::strtoul(html.c_str() + start, &end, hex ? 16 : 10);
                size_t stop = static_cast<size_t>(end - html.c_str());
                if (stop > start && stop < html.size() && html[stop] == ';' && cp > 0 && cp <= 0x10FFFF &&
                    !(cp >= 0xD800 && cp <= 0xDFFF)) {
                    appendUtf8(out, static_cast<uint32_t>(cp));
                    i = stop + 1;
                    done = true;
                }
            }
        }
        if (!done) out += html[i++];
    }
    return out;
}

bool validUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t n = 0;
        decodeAt(text, i, n);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

size_t utf8Length(const std::string& text) {
    size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

bool hasControlBytes(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

std::string oneLine(const std::string& text, const std::string& with) {
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\r') out += with;
        else out += c;
    }
    return out;
}

}  // namespace srv
