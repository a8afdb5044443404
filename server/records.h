// The rows the server keeps, as plain values. Texts marked HTML are kept
// as the site shows them; plain texts are escaped when a reply is made.
#pragma once
#include <cstdint>
#include <string>

namespace srv {

struct Article {
    int64_t id = 0;
    std::string lang = "en";  // "en" or "it"
    std::string title;        // HTML, one line
    std::string author;       // HTML, one line
    int64_t posted = 0;       // seconds since 1970, UTC
    int utcOffset = 0;        // minutes east of UTC
    std::string summary;      // HTML
    std::string body;         // HTML
    std::string link;         // empty: the article page of this server
    int64_t reads = 0;
};

struct Shout {
    int64_t id = 0;
    int64_t posted = 0;
    std::string nick;     // plain text
    std::string message;  // plain text
    std::string address;
};

struct FileEntry {
    int64_t id = 0;
    std::string category;
    std::string name;         // in the files folder
    std::string title;        // HTML, one line
    std::string uploader;     // HTML, one line
    std::string uploaded;     // YYYY-MM-DD
    int64_t size = 0;
    int64_t downloads = 0;
    std::string description;  // HTML, lines
};

// What the statistics show, as the database has it.
struct Totals {
    int64_t news = 0;
    int64_t files = 0;
    int64_t shouts = 0;
    std::string topNews;  // HTML title
    int64_t topNewsReads = 0;
    std::string topFile;  // file name
    int64_t topFileDownloads = 0;
    int64_t pluginRequests = 0;  // flushed so far, by every server
    int64_t visitorsToday = 0;   // flushed so far, by every server
};

}  // namespace srv
