// Escaping and checking of texts on their way into replies and the store.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace srv {

// Plain text as HTML: & < > " become entities.
std::string htmlEscape(const std::string& plain);
// The few entities that carry markup characters (&amp; &lt; &gt; &quot;
// &#39; and numeric ones) decoded; others stay as they are.
std::string decodeBasicEntities(const std::string& html);

// The code point at byte `i` of `text` and its length in bytes; the
// length is 0 where the bytes are not UTF-8 (overlong forms and surrogates
// included).
uint32_t decodeUtf8At(std::string_view text, size_t i, size_t& length);
void appendUtf8(std::string& out, uint32_t codePoint);

// Whether `text` is valid UTF-8 (no overlong forms, no surrogates).
bool validUtf8(const std::string& text);
// Whether XML 1.0 allows the character: tab, line feed, carriage return,
// and everything from the blank up except U+FFFE and U+FFFF.
bool xmlAllowed(uint32_t codePoint);
// Valid UTF-8 made only of characters XML 1.0 allows.
bool xmlSafe(const std::string& text);
// Characters a shout's nickname or message may not hold: C0 and C1
// controls (line breaks included), bidi controls, and the line and
// paragraph separators. They reorder or break the shout page's rows.
bool shoutForbidden(uint32_t codePoint);
// Characters of valid UTF-8 text.
size_t utf8Length(const std::string& text);
// Whether `text` holds a control byte (below 0x20, or 0x7F).
bool hasControlBytes(const std::string& text);
// An absolute http or https address of printable ASCII without blanks,
// quotes or the characters that end a URL in text (< > \ ^ ` { | }).
bool isWebAddress(const std::string& url);
// Line feeds and carriage returns replaced by `with`.
std::string oneLine(const std::string& text, const std::string& with = "");

}  // namespace srv
