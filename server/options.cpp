#include "server/options.h"

#include <cerrno>
#include <cstdlib>

#include "server/text_codec.h"

namespace srv {

namespace {

// Far above any machine's descriptor limit; the kernel's limit applies.
constexpr long connectionCeiling = 1000 * 1000;
constexpr long maxBodyCeiling = 1024L * 1024 * 1024;
constexpr long oneDay = 24 * 3600;

bool parseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

bool splitListen(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    long p = 0;
    if (!parseNumber(text.substr(colon + 1), 0, 65535, p)) return false;
    host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    port = static_cast<int>(p);
    return true;
}

constexpr long maxFeedItems = 10000;
constexpr long maxReplyCacheMib = 1024;
constexpr long maxCommitBatch = 100000;
constexpr long maxUploadMib = 4096;

const std::set<std::string> serveOptions = {"--db",          "--files",        "--listen",          "--base-url",
                                            "--shout-interval", "--feed-items", "--cache-mib",      "--commit-batch",
                                            "--log",         "--max-body",     "--max-connections", "--max-per-address",
                                            "--keep-alive",  "--upload-max-mb"};

// A value as it may be shown in a one-line message.
std::string visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (out.size() >= 200) break;
        out += static_cast<unsigned char>(c) < ' ' ? '?' : c;
    }
    return out;
}

// The base URL is written into every feed: one bad byte breaks them all.
void checkBaseUrl(std::string& url) {
    if (url.empty()) return;
    const std::string typed = url;
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    if (!isWebAddress(url) || url.find_first_of("?#") != std::string::npos)
        throw UsageError("option --base-url: \"" + visible(typed) +
                         "\" is not an http:// or https:// address without blanks, quotes, control bytes, ? or #");
}

}  // namespace

Arguments::Arguments(int argc, const char* const* argv, const std::set<std::string>& allowed) {
    for (int i = 0; i < argc; ++i) {
        std::string key = argv[i];
        if (!allowed.count(key)) throw UsageError("unknown option " + key);
        if (i + 1 >= argc) throw UsageError("option " + key + " needs a value");
        values[key] = argv[++i];
    }
}

bool Arguments::has(const std::string& key) const { return values.count(key) > 0; }

std::string Arguments::get(const std::string& key) const {
    auto found = values.find(key);
    if (found == values.end()) throw UsageError("missing " + key);
    return found->second;
}

std::string Arguments::get(const std::string& key, const std::string& fallback) const {
    return has(key) ? get(key) : fallback;
}

int64_t Arguments::id(const std::string& key) const {
    std::string text = get(key);
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError(key + " needs a positive number, not \"" + text + "\"");
    return std::stoll(text);
}

long Arguments::number(const std::string& key, long low, long high, long fallback) const {
    if (!has(key)) return fallback;
    long value = 0;
    if (!parseNumber(get(key), low, high, value))
        throw UsageError("option " + key + ": bad value \"" + get(key) + "\" (" + std::to_string(low) + " to " +
                         std::to_string(high) + ")");
    return value;
}

const char* serveUsage() {
    return "Usage: lumen-server serve --db FILE [OPTION]...\n"
           "Serves the community in FILE to the Lumen News plug-in. The first line on\n"
           "standard output is \"listening on ADDR:PORT\".\n"
           "\n"
           "  --db FILE              the database made with \"lumen-server init\": a file\n"
           "                         (SQLite) or a postgresql:// URL (PostgreSQL)\n"
           "  --files DIR            the download files (default: files beside FILE)\n"
           "  --listen ADDR:PORT     address to listen on (default 127.0.0.1:8080);\n"
           "                         port 0 picks a free one\n"
           "  --base-url URL         address the feed links use (default http://news.corvane.example)\n"
           "  --shout-interval S     seconds between two shouts of one address (default 5, 0: any)\n"
           "  --feed-items N         the newest N news in each feed (default 50, 1 to 10000)\n"
           "  --cache-mib N          memory for finished replies, in MiB (default 4, 1 to 1024)\n"
           "  --commit-batch N       posts committed together at most (default 512; 1: one\n"
           "                         transaction per post, for comparison)\n"
           "  --log FILE             append one line per request (default: standard error);\n"
           "                         SIGHUP opens FILE again (after log rotation)\n"
           "  --max-connections N    open connections in all (default 10000); when reached,\n"
           "                         the longest idle or slowest one is closed for a new one\n"
           "  --max-per-address N    open connections of one client address (default 64)\n"
           "  --keep-alive S         seconds an idle connection is kept open (default 15)\n"
           "  --max-body BYTES       largest request body taken (default 1048576)\n"
           "  --upload-max-mb N      largest file the operator's web page takes (default 64)\n"
           "  --help                 show this text\n"
           "\n"
           "SIGTERM or SIGINT stops the server: requests in flight are answered, the\n"
           "database is closed.\n";
}

std::string filesDirOf(const std::string& db, const std::string& option) {
    if (!option.empty()) return option;
    // A database server has no folder beside it: the current one.
    if (db.rfind("postgresql://", 0) == 0 || db.rfind("postgres://", 0) == 0) return "files";
    size_t slash = db.rfind('/');
    return (slash == std::string::npos ? std::string(".") : db.substr(0, slash)) + "/files";
}

ParseResult parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
    options = Options{};
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") return ParseResult::Help;
    try {
        Arguments args(argc, argv, serveOptions);
        for (const char* key : {"--db", "--files", "--base-url", "--log"})
            if (args.has(key) && args.get(key).empty()) throw UsageError(std::string("option ") + key + " needs a value");
        options.db = args.get("--db");
        options.filesDir = args.get("--files", "");
        options.baseUrl = args.get("--base-url", "");
        checkBaseUrl(options.baseUrl);
        options.logFile = args.get("--log", "");
        if (args.has("--listen") && !splitListen(args.get("--listen"), options.host, options.port))
            throw UsageError("option --listen: expected ADDR:PORT, got \"" + args.get("--listen") + "\"");
        options.shoutIntervalSeconds = args.number("--shout-interval", 0, oneDay, options.shoutIntervalSeconds);
        options.feedItems = args.number("--feed-items", 1, maxFeedItems, options.feedItems);
        options.replyCacheMib = args.number("--cache-mib", 1, maxReplyCacheMib, options.replyCacheMib);
        options.commitBatch = args.number("--commit-batch", 1, maxCommitBatch, options.commitBatch);
        HttpLimits& limits = options.limits;
        limits.maxConnections = static_cast<size_t>(
            args.number("--max-connections", 1, connectionCeiling, static_cast<long>(limits.maxConnections)));
        limits.maxConnectionsPerAddress = static_cast<size_t>(args.number(
            "--max-per-address", 1, connectionCeiling, static_cast<long>(limits.maxConnectionsPerAddress)));
        limits.keepAlive = std::chrono::seconds(args.number("--keep-alive", 1, oneDay, limits.keepAlive.count()));
        limits.maxBodyBytes =
            static_cast<size_t>(args.number("--max-body", 0, maxBodyCeiling, static_cast<long>(limits.maxBodyBytes)));
    } catch (const UsageError& e) {
        error = e.what();
        if (error == "missing --db") error = "serve needs --db FILE";
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

}  // namespace srv
