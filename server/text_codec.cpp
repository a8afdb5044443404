#include "server/text_codec.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace srv {

uint32_t decodeUtf8At(std::string_view text, size_t i, size_t& length) {
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

std::string htmlEscape(const std::string& plain) {
    std::string out;
    out.reserve(plain.size());
    for (char c : plain) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
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
        decodeUtf8At(text, i, n);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

bool xmlAllowed(uint32_t cp) {
    if (cp < 0x20) return cp == '\t' || cp == '\n' || cp == '\r';
    return (cp < 0xD800 || cp > 0xDFFF) && cp != 0xFFFE && cp != 0xFFFF && cp <= 0x10FFFF;
}

bool xmlSafe(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t n = 0;
        uint32_t cp = decodeUtf8At(text, i, n);
        if (n == 0 || !xmlAllowed(cp)) return false;
        i += n;
    }
    return true;
}

bool shoutForbidden(uint32_t cp) {
    bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
    bool bidi = cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
                (cp >= 0x2066 && cp <= 0x2069);
    bool separator = cp == 0x2028 || cp == 0x2029;
    return control || bidi || separator;
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

bool isWebAddress(const std::string& url) {
    constexpr size_t longest = 2048;
    size_t host = url.rfind("http://", 0) == 0 ? 7 : url.rfind("https://", 0) == 0 ? 8 : 0;
    if (host == 0 || url.size() > longest || url.find_first_of("/?#", host) == host || host == url.size())
        return false;
    for (char c : url) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || std::strchr("\"'<>\\^`{|}", c)) return false;
    }
    return true;
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
