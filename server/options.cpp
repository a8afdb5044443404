#include "server/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace srv {

const char* serveUsage() {
    return "Usage: lumen-server serve --db FILE [OPTION]...\n"
           "Serves the community in FILE to the Lumen News plug-in. The first line on\n"
           "standard output is \"listening on ADDR:PORT\".\n"
           "\n"
           "  --db FILE            the database (made with \"lumen-server init\")\n"
           "  --files DIR          the download files (default: files beside FILE)\n"
           "  --listen ADDR:PORT   address to listen on (default 127.0.0.1:8080);\n"
           "                       port 0 picks a free one\n"
           "  --base-url URL       address the feed links use (default " "http://news.corvane.example)\n"
           "  --shout-interval S   seconds between two shouts of one address (default 5, 0: any)\n"
           "  --log FILE           append one line per request (default: standard error)\n"
           "  --upload-max-mb N    largest file the operator's web page takes (default 64)\n"
           "  --help               show this text\n"
           "\n"
           "Test-only fault switches, off by default; never use them in service. They apply\n"
           "to every request, or with --fault-op only to requests whose op (or \"files\"\n"
           "for /lumennews/files/) matches:\n"
           "  --fault-op OP    restrict the faults to OP; may be given more than once\n"
           "  --delay-ms N     wait N ms before answering (combines with one fault below)\n"
           "  --status CODE    answer with status CODE and a short error page\n"
           "  --drop-half      declare the full Content-Length, send half the body, close\n"
           "  --stall          send the headers, then one body byte every 60 s, forever\n"
           "  --redirect URL   answer 302 with Location URL\n"
           "  --empty          answer 200 with an empty body\n"
           "  --junk-mb N      answer 200 with N MiB of random bytes\n"
           "\n"
           "SIGTERM or SIGINT stops the server: requests in flight are answered, the\n"
           "database is closed.\n";
}

std::string filesDirOf(const std::string& db, const std::string& option) {
    if (!option.empty()) return option;
    size_t slash = db.rfind('/');
    return (slash == std::string::npos ? std::string(".") : db.substr(0, slash)) + "/files";
}

bool splitListen(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    char* end = nullptr;
    errno = 0;
    long p = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (errno != 0 || *end != '\0' || end == text.c_str() + colon + 1 || p < 0 || p > 65535) return false;
    host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    port = static_cast<int>(p);
    return true;
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
    int faults = 0;
    for (int i = 0; i < argc; ++i) {
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
        } else if (arg == "--shout-interval") {
            if (!number(0, 24 * 3600, n)) return ParseResult::Error;
            options.shoutIntervalSeconds = n;
            ++i;
        } else if (arg == "--listen") {
            if (!needValue()) return ParseResult::Error;
            if (!splitListen(value, options.host, options.port)) {
                error = std::string("option --listen: expected ADDR:PORT, got \"") + value + "\"";
                return ParseResult::Error;
            }
            ++i;
        } else if (arg == "--db" || arg == "--files" || arg == "--base-url" || arg == "--log" ||
                   arg == "--fault-op" || arg == "--redirect") {
            if (!needValue() || !*value) {
                if (error.empty()) error = "option " + arg + " needs a value";
                return ParseResult::Error;
            }
            if (arg == "--db") options.db = value;
            else if (arg == "--files") options.filesDir = value;
            else if (arg == "--base-url") options.baseUrl = value;
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
        } else if (arg == "--upload-max-mb") {
            if (!number(1, 4096, n)) return ParseResult::Error;
            options.uploadMaxBytes = static_cast<size_t>(n) * 1024 * 1024;
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
    if (options.db.empty()) {
        error = "serve needs --db FILE";
        return ParseResult::Error;
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

}  // namespace srv
