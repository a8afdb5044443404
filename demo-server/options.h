// Command line of lumen-demo-server, including the switches that make it
// misbehave on purpose for the project's fault tests.
#pragma once
#include <set>
#include <string>

namespace demo {

// At most one of these shapes a faulty answer; the delay combines with any.
enum class Fault { None, Status, Redirect, Empty, Junk, Stall, DropHalf };

struct Options {
    int port = 0;          // 0: a free port
    std::string dataDir;   // sample data
    std::string logFile;   // empty: stderr
    std::set<std::string> faultOps;  // empty: faults apply to every request
    int delayMs = 0;
    Fault fault = Fault::None;
    int status = 0;        // Fault::Status
    std::string redirect;  // Fault::Redirect
    long junkMb = 0;       // Fault::Junk
};

enum class ParseResult { Run, Help, Error };

// Fills `options` from argv; on Error, `error` says why.
ParseResult parseOptions(int argc, const char* const* argv, Options& options, std::string& error);
const char* usage();

// The name that --fault-op compares with: the op of a script request,
// "files" for a download, "" for anything else.
std::string faultKey(const std::string& path, const std::string& op);
bool faultApplies(const Options& options, const std::string& key);

}  // namespace demo
