// Command line of "lumen-server serve", including the test-only switches
// that make it misbehave on purpose for the project's fault tests.
#pragma once
#include <set>
#include <string>

namespace srv {

// At most one of these shapes a faulty answer; the delay combines with any.
enum class Fault { None, Status, Redirect, Empty, Junk, Stall, DropHalf };

struct Options {
    std::string db;              // the database file
    std::string filesDir;        // empty: "files" beside the database
    std::string host = "127.0.0.1";
    int port = 8080;             // 0: a free one
    std::string baseUrl;         // empty: the plug-in's own base address
    long shoutIntervalSeconds = 5;
    std::string logFile;         // empty: stderr
    size_t uploadMaxBytes = 64 * 1024 * 1024;  // the operator's uploads
    std::set<std::string> faultOps;  // empty: faults apply to every request
    int delayMs = 0;
    Fault fault = Fault::None;
    int status = 0;        // Fault::Status
    std::string redirect;  // Fault::Redirect
    long junkMb = 0;       // Fault::Junk
};

enum class ParseResult { Run, Help, Error };

// Fills `options` from the arguments after "serve"; on Error, `error` says why.
ParseResult parseOptions(int argc, const char* const* argv, Options& options, std::string& error);
const char* serveUsage();
// The folder of downloads: the option, or "files" beside the database.
std::string filesDirOf(const std::string& db, const std::string& option);

// The name that --fault-op compares with: the op of a script request,
// "files" for a download, "" for anything else.
std::string faultKey(const std::string& path, const std::string& op);
bool faultApplies(const Options& options, const std::string& key);

}  // namespace srv
