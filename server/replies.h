// The reply bodies the plug-in reads, made from stored rows. Pure
// functions: the site caches what they return.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "server/records.h"

namespace srv {

// The address the plug-in knows the server by, without a trailing "/".
inline const char* const defaultBaseUrl = "http://news.corvane.example";
// At most this many shouts are listed.
inline constexpr int shownShouts = 50;

// The link of an item: the article page, with the "&Itemid=99999999" the
// plug-in expects (and removes before asking), or the item's own link.
std::string itemLink(const Article& article, const std::string& baseUrl);

// English feed: RSS 2.0 in UTF-8.
std::string feedRss2(const std::vector<Article>& news, const std::string& baseUrl);
// Italian feed: RSS 1.0 in ISO-8859-1.
std::string feedRss1(const std::vector<Article>& news, const std::string& baseUrl);

// The article page: title, author, date and read count on a line each,
// then the body.
std::string articlePage(const Article& article);

// Date texts of an article, at its own offset from UTC.
std::string feedDate(int64_t posted, int utcOffset);  // "Tue, 04 Mar 2025 18:42:00 +0100"
std::string pageDate(int64_t posted, int utcOffset);  // "Tuesday, 04 March 2025 @ 18:42 CET"

// The shout list page, shouts newest first, in the server's local time.
std::string shoutPage(const std::vector<Shout>& shouts);
// The one line of the shout page that holds `plain`, or "" when the
// plug-in could not read it back whole (it reads lines in 1023-byte pieces).
std::string shoutLine(const std::string& plain);

struct Statistics {
    int64_t pluginRequests = 0;
    int64_t visitorsToday = 0;
    Totals totals;
};
std::string statisticsReply(const Statistics& stats);

// A category's files: id line, title line, pair after pair.
std::string categoryReply(const std::vector<FileEntry>& files);
// One file: name, title, uploader, upload date, size, downloads, description.
std::string fileDetailReply(const FileEntry& file);

}  // namespace srv
