// Builds an XML document that always parses: what XML 1.0 forbids (C0
// controls other than tab and line breaks, U+FFFE, U+FFFF, bytes that are
// not UTF-8) is dropped from texts, markup characters are escaped, and in
// the Latin-1 encoding every other character becomes "&#N;".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace srv {

class XmlWriter {
public:
    enum class Encoding { Utf8, Latin1 };
    explicit XmlWriter(Encoding encoding) : encoding(encoding) {}

    // Markup of this program's own making, only re-encoded.
    XmlWriter& markup(std::string_view utf8);
    // Character data: & < > escaped. Line breaks stay as they are (a
    // parser reads CR LF and a lone CR as LF).
    XmlWriter& text(std::string_view utf8);
    // A value between double quotes: also " ' and every blank but the
    // space escaped, since a parser turns tabs and line breaks into spaces.
    XmlWriter& attribute(std::string_view utf8);
    // "<name>" text "</name>" and a line feed.
    XmlWriter& element(std::string_view name, std::string_view utf8);

    const std::string& document() const { return out; }

private:
    enum class Context { Markup, Text, Attribute };
    void put(std::string_view utf8, Context context);
    void putCharacter(uint32_t codePoint);

    Encoding encoding;
    std::string out;
};

}  // namespace srv
