// Escaping and checking of texts on their way into replies and the store.
#pragma once
#include <cstddef>
#include <string>

namespace srv {

// Plain text as HTML: & < > " become entities.
std::string htmlEscape(const std::string& plain);
// Text as XML character data: & < > become entities.
std::string xmlEscape(const std::string& text);
// UTF-8 XML as ISO-8859-1 bytes; characters beyond Latin-1 become numeric
// references, which the XML parser turns back into the character.
std::string latin1Xml(const std::string& utf8);
// The few entities that carry markup characters (&amp; &lt; &gt; &quot;
// &#39; and numeric ones) decoded; others stay as they are.
std::string decodeBasicEntities(const std::string& html);

// Whether `text` is valid UTF-8 (no overlong forms, no surrogates).
bool validUtf8(const std::string& text);
// Characters of valid UTF-8 text.
size_t utf8Length(const std::string& text);
// Whether `text` holds a control byte (below 0x20, or 0x7F).
bool hasControlBytes(const std::string& text);
// Line feeds and carriage returns replaced by `with`.
std::string oneLine(const std::string& text, const std::string& with = "");

}  // namespace srv
