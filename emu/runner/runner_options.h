// lumenhost's command line.
#pragma once
#include <string>

namespace runner {

struct RunnerOptions {
    std::string plugin;        // the plug-in shared object
    std::string root;          // box root directory, "" for none
    bool haveKeys = false;     // --keys given (possibly empty)
    std::string keys;
    std::string keysFile;
    std::string dump;          // file, "-" for stdout, "" for none
    std::string shots;         // screenshot directory, "" for none
    std::string connectTo;     // HOST:PORT:HOST2:PORT2
    int waitTimeoutSeconds = 60;
    int httpStallSeconds = 0;  // 0: the HTTP client's own (30 s)
    long long httpMaxReplyBytes = 0;  // 0: the HTTP client's own (64 MiB)
    bool help = false;

    bool scripted() const { return haveKeys || !keysFile.empty(); }
};

// Fills `options` from argv (both "--name value" and "--name=value").
// False with a one-line message on a bad command line.
bool parseOptions(int argc, char** argv, RunnerOptions& options, std::string& error);

// True for "HOST:PORT:HOST2:PORT2" with numeric ports and a target host.
bool validConnectTo(const std::string& spec);

// The --help text.
std::string helpText(const std::string& defaultPlugin);

}  // namespace runner
