// Command lines of lumen-server: one parser for "serve" and the content
// tools, and the options of "serve".
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "server/http_limits.h"

namespace srv {

// A mistake on the command line: exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "--name value" pairs, each name one of those allowed; a name given twice
// keeps its last value. Throws UsageError.
class Arguments {
public:
    Arguments(int argc, const char* const* argv, const std::set<std::string>& allowed);
    bool has(const std::string& key) const;
    // The value; UsageError when missing.
    std::string get(const std::string& key) const;
    std::string get(const std::string& key, const std::string& fallback) const;
    // A positive id (at most 18 digits).
    int64_t id(const std::string& key = "--id") const;
    // A whole number in [low, high], or `fallback` when not given.
    long number(const std::string& key, long low, long high, long fallback) const;

private:
    std::map<std::string, std::string> values;
};

struct Options {
    std::string db;        // the database file
    std::string filesDir;  // empty: "files" beside the database
    std::string host = "127.0.0.1";
    int port = 8080;       // 0: a free one
    std::string baseUrl;   // empty: the plug-in's own base address
    long shoutIntervalSeconds = 5;
    long feedItems = 50;     // the newest news a feed carries
    long replyCacheMib = 4;  // the byte budget of the reply cache
    long commitBatch = 512;  // posts per group commit; 1: one commit each
    std::string logFile;     // empty: stderr
    HttpLimits limits;
};

enum class ParseResult { Run, Help, Error };

// Fills `options` from the arguments after "serve"; on Error, `error` says why.
ParseResult parseOptions(int argc, const char* const* argv, Options& options, std::string& error);
const char* serveUsage();
// The folder of downloads: the option, or "files" beside the database.
std::string filesDirOf(const std::string& db, const std::string& option);

}  // namespace srv
