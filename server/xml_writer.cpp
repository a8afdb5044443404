#include "server/xml_writer.h"

#include "server/text_codec.h"

namespace srv {

namespace {

// Above this, a Latin-1 document spells the character as a reference.
constexpr uint32_t lastLatin1 = 0xFF;

const char* escapeOf(uint32_t c, bool inAttribute) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: break;
    }
    if (!inAttribute) return nullptr;
    switch (c) {
    case '\r': return "&#13;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    case '\t': return "&#9;";
    case '\n': return "&#10;";
    default: return nullptr;
    }
}

}  // namespace

XmlWriter& XmlWriter::markup(std::string_view utf8) {
    put(utf8, Context::Markup);
    return *this;
}

XmlWriter& XmlWriter::text(std::string_view utf8) {
    put(utf8, Context::Text);
    return *this;
}

XmlWriter& XmlWriter::attribute(std::string_view utf8) {
    put(utf8, Context::Attribute);
    return *this;
}

XmlWriter& XmlWriter::element(std::string_view name, std::string_view utf8) {
    out += '<';
    out += name;
    out += '>';
    text(utf8);
    out += "</";
    out += name;
    out += ">\n";
    return *this;
}

void XmlWriter::put(std::string_view utf8, Context context) {
    for (size_t i = 0; i < utf8.size();) {
        size_t length = 0;
        uint32_t c = decodeUtf8At(utf8, i, length);
        if (length == 0) {  // not UTF-8: the byte goes
            ++i;
            continue;
        }
        i += length;
        if (!xmlAllowed(c)) continue;
        const char* escaped = context == Context::Markup ? nullptr : escapeOf(c, context == Context::Attribute);
        if (escaped) out += escaped;
        else putCharacter(c);
    }
}

void XmlWriter::putCharacter(uint32_t c) {
    if (encoding == Encoding::Utf8) appendUtf8(out, c);
    else if (c <= lastLatin1) out += static_cast<char>(c);
    else out += "&#" + std::to_string(c) + ";";
}

}  // namespace srv
