#include "demo-server/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef LUMEN_DEMO_DATA_DIR
#define LUMEN_DEMO_DATA_DIR "data"
#endif

namespace demo {

const char* usage() {
    return "Usage: lumen-demo-server [OPTION]...\n"
           "Demo community server for the Lumen News plug-in. Listens on 127.0.0.1 only\n"
           "and prints \"listening on 127.0.0.1:PORT\" as its first line.\n"
           "\n"
           "  --port N         port to listen on; 0 (default) picks a free one\n"
           "  --data DIR       sample data (default " LUMEN_DEMO_DATA_DIR ")\n"
           "  --log FILE       append one line per request, with its User-Agent\n"
           "                   (default: standard error)\n"
           "  --help           show this text\n"
           "\n"
           "Fault switches, for tests. They apply to every request, or with --fault-op\n"
           "only to requests whose op (or \"files\" for /lumennews/files/) matches:\n"
           "  --fault-op OP    restrict the faults to OP; may be given more than once\n"
           "  --delay-ms N     wait N ms before answering (combines with one fault below)\n"
           "  --status CODE    answer with status CODE and a short error page\n"
           "  --drop-half      declare the full Content-Length, send half the body, close\n"
           "  --stall          send the headers, then one body byte every 60 s, forever\n"
           "  --redirect URL   answer 302 with Location URL\n"
           "  --empty          answer 200 with an empty body\n"
           "  --junk-mb N      answer 200 with N MiB of random bytes\n"
           "\n"
           "SIGTERM or SIGINT stops the server within about two seconds.\n";
}

namespace {

bool parseNumber(const char* text, long low, long high, long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

}  // namespace

ParseResult parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
    options = Options{};
    options.dataDir = LUMEN_DEMO_DATA_DIR;
    int faults = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (value) return true;
            error = "option " + arg + " needs a value";
            return false;
        };
        auto number = [&](long low, long high, long& out) {
            if (!needValue()) return false;
            if (parseNumber(value, low, high, out)) return true;
            error = "option " + arg + ": bad value \"" + value + "\"";
            return false;
        };
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            return ParseResult::Help;
        } else if (arg == "--port") {
            if (!number(0, 65535, n)) return ParseResult::Error;
            options.port = static_cast<int>(n);
            ++i;
        } else if (arg == "--data" || arg == "--log" || arg == "--fault-op" || arg == "--redirect") {
            if (!needValue() || !*value) {
                if (error.empty()) error = "option " + arg + " needs a value";
                return ParseResult::Error;
            }
            if (arg == "--data") options.dataDir = value;
            else if (arg == "--log") options.logFile = value;
            else if (arg == "--fault-op") options.faultOps.insert(value);
            else {
                // A Location header must stay one header line.
                if (std::strpbrk(value, "\r\n")) {
                    error = "option --redirect: URL holds a line break";
                    return ParseResult::Error;
                }
                options.redirect = value;
                options.fault = Fault::Redirect;
                ++faults;
            }
            ++i;
        } else if (arg == "--delay-ms") {
            if (!number(0, 3600 * 1000, n)) return ParseResult::Error;
            options.delayMs = static_cast<int>(n);
            ++i;
        } else if (arg == "--status") {
            if (!number(100, 599, n)) return ParseResult::Error;
            options.status = static_cast<int>(n);
            options.fault = Fault::Status;
            ++faults;
            ++i;
        } else if (arg == "--junk-mb") {
            if (!number(1, 4096, n)) return ParseResult::Error;
            options.junkMb = n;
            options.fault = Fault::Junk;
            ++faults;
            ++i;
        } else if (arg == "--drop-half") {
            options.fault = Fault::DropHalf;
            ++faults;
        } else if (arg == "--stall") {
            options.fault = Fault::Stall;
            ++faults;
        } else if (arg == "--empty") {
            options.fault = Fault::Empty;
            ++faults;
        } else {
            error = "unknown option " + arg;
            return ParseResult::Error;
        }
    }
    if (faults > 1) {
        error = "give at most one of --status, --redirect, --empty, --junk-mb, --stall, --drop-half";
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

std::string faultKey(const std::string& path, const std::string& op) {
    if (path == "/lumennews/index.php") return op;
    if (path.rfind("/lumennews/files/", 0) == 0) return "files";
    return "";
}

bool faultApplies(const Options& options, const std::string& key) {
    return options.faultOps.empty() || options.faultOps.count(key) > 0;
}

}  // namespace demo
