#include "server/request_log.h"

#include <cerrno>
#include <cstring>

namespace srv {

namespace {

// Control bytes from the wire must not forge extra log lines; a field
// longer than the cut ends in "...".
std::string printable(const std::string& text) {
    const bool cut = text.size() > maxLoggedFieldBytes;
    std::string out = text.substr(0, maxLoggedFieldBytes);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    if (cut) out += "...";
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
    path = file;
    return true;
}

bool RequestLog::reopen(std::string& error) {
    std::string file;
    {
        std::lock_guard<std::mutex> guard(lock);
        file = path;
    }
    return file.empty() || open(file, error);
}

void RequestLog::request(const std::string& address, const std::string& method, const std::string& target,
                         const std::string& version, const std::string& userAgent) {
    std::string line = printable(address) + " " + printable(method) + " " + printable(target) + " " +
                       printable(version) +
                       " User-Agent: " + (userAgent.empty() ? "-" : printable(userAgent)) + "\n";
    std::lock_guard<std::mutex> guard(lock);
    std::fputs(line.c_str(), out ? out : stderr);  // standard error is unbuffered
}

void RequestLog::flush() {
    std::lock_guard<std::mutex> guard(lock);
    if (out) std::fflush(out);
}

}  // namespace srv
