#include "server/request_log.h"

#include <cerrno>
#include <cstring>

namespace srv {

namespace {

// Control bytes from the wire must not forge extra log lines.
std::string printable(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

}  // namespace

RequestLog::~RequestLog() {
    if (out) std::fclose(out);
}

bool RequestLog::open(const std::string& file, std::string& error) {
    std::FILE* f = std::fopen(file.c_str(), "a");
    if (!f) {
        error = "cannot open log " + file + ": " + std::strerror(errno);
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    if (out) std::fclose(out);
    out = f;
    return true;
}

void RequestLog::request(const std::string& address, const std::string& method, const std::string& target,
                         const std::string& version, const std::string& userAgent) {
    std::string line = printable(address) + " " + printable(method) + " " + printable(target) + " " +
                       printable(version) +
                       " User-Agent: " + (userAgent.empty() ? "-" : printable(userAgent)) + "\n";
    std::lock_guard<std::mutex> guard(lock);
    std::FILE* f = out ? out : stderr;
    std::fputs(line.c_str(), f);
    std::fflush(f);
}

}  // namespace srv
