// One escaper for each place a text goes in a web page. Every text that
// reaches a page passes through exactly one of them, where it is written.
#pragma once
#include <string>

namespace srv::web {

// Text between tags: & < > " ' become references.
std::string escapeHtml(const std::string& text);
// A value inside a double-quoted attribute: as escapeHtml, and line
// breaks and tabs as references so the value stays what it was.
std::string escapeAttribute(const std::string& text);
// One path segment or query value: every byte but A-Z a-z 0-9 - . _ ~
// as %XX. Put the result in an attribute through escapeAttribute.
std::string escapeUrlComponent(const std::string& text);

// Entities decoded as a box decodes them (the plug-in's table, in its
// order), then numeric references. Escape the result before use.
std::string decodeEntities(const std::string& text);

// Stored HTML (titles, bodies) as plain text: tags dropped (with what
// script and style hold), paragraph ends and line breaks kept as line
// feeds, entities decoded. Escape the result before it goes anywhere.
std::string plainTextOf(const std::string& html);

}  // namespace srv::web
