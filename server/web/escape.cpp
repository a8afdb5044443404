#include "server/web/escape.h"

#include <cctype>
#include <cstring>

#include "server/text_codec.h"
#include "text/entity_table.h"

namespace srv::web {

namespace {

void appendHtmlChar(std::string& out, char c) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    case '\'': out += "&#39;"; break;
    default: out += c;
    }
}

// Whether the tag at `at` ("<" there) is `name` (lower case), in any case.
bool startsWithTag(const std::string& html, size_t at, const char* name) {
    size_t n = std::strlen(name);
    if (at + 1 + n > html.size()) return false;
    for (size_t k = 0; k < n; ++k)
        if (std::tolower(static_cast<unsigned char>(html[at + 1 + k])) != name[k]) return false;
    char after = at + 1 + n < html.size() ? html[at + 1 + n] : '>';
    return after == '>' || after == ' ' || after == '/' || after == '\t' || after == '\n' || after == '\r';
}

size_t findNoCase(const std::string& text, const std::string& lowerNeedle, size_t from) {
    for (size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < lowerNeedle.size() &&
               std::tolower(static_cast<unsigned char>(text[i + k])) == lowerNeedle[k])
            ++k;
        if (k == lowerNeedle.size()) return i;
    }
    return std::string::npos;
}

}  // namespace

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) appendHtmlChar(out, c);
    return out;
}

std::string escapeAttribute(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') out += "&#10;";
        else if (c == '\r') out += "&#13;";
        else if (c == '\t') out += "&#9;";
        else appendHtmlChar(out, c);
    }
    return out;
}

std::string escapeUrlComponent(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

std::string decodeEntities(const std::string& text) {
    // Row by row over the whole text, as the boxes decode: "&amp;auml;"
    // becomes "ä" on a box, so it does here.
    std::string out = text;
    for (size_t r = 0; r < entityTableSize && out.find('&') != std::string::npos; ++r) {
        const std::string entity = entityTable[r].entity;
        size_t at = out.find(entity);
        if (at == std::string::npos) continue;
        std::string next;
        next.reserve(out.size());
        size_t from = 0;
        for (; at != std::string::npos; at = out.find(entity, from)) {
            next.append(out, from, at - from);
            next += entityTable[r].replacement;
            from = at + entity.size();
        }
        next.append(out, from, std::string::npos);
        out = std::move(next);
    }
    return decodeBasicEntities(out);
}

std::string plainTextOf(const std::string& html) {
    std::string text;
    text.reserve(html.size());
    for (size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            text += html[i++];
            continue;
        }
        size_t close = html.find('>', i);
        if (close == std::string::npos) break;  // an unfinished tag: the rest is markup
        for (const char* hidden : {"script", "style"}) {
            if (startsWithTag(html, i, hidden)) {
                size_t end = findNoCase(html, std::string("</") + hidden, close);
                close = end == std::string::npos ? html.size() - 1 : html.find('>', end);
                if (close == std::string::npos) close = html.size() - 1;
            }
        }
        if (startsWithTag(html, i, "/p") || startsWithTag(html, i, "br") || startsWithTag(html, i, "p") ||
            startsWithTag(html, i, "/div") || startsWithTag(html, i, "/li"))
            text += '\n';
        i = close + 1;
    }
    return decodeEntities(text);
}

}  // namespace srv::web
