// How the web pages write times, sizes and texts made of paragraphs.
#pragma once
#include <cstdint>
#include <string>

#include "server/web/web_texts.h"

namespace srv::web {

// "2025-03-04 18:42", in this machine's local time.
std::string localTime(int64_t posted);
// "2025-03-04 18:42", at the article's own offset from UTC.
std::string articleTime(int64_t posted, int utcOffset);
// "1 234 567 bytes" in the page's language, and a short "1.2 MB".
std::string byteCount(int64_t bytes, Lang lang);
// Plain text as escaped <p> paragraphs: blank lines end a paragraph,
// single line feeds are blanks.
std::string paragraphsHtml(const std::string& plain);
// Stored HTML (a title, an author) as escaped text on one line.
std::string lineOf(const std::string& storedHtml);

}  // namespace srv::web
