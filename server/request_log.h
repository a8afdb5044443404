// One line per request: the client address, the request line and its
// User-Agent, each field cut so that a line stays short whatever the
// client sends. reopen() starts a new file after log rotation. Lines to a
// file are buffered and written by flush() (each second) and at the end,
// so that requests do not queue for a write each.
#pragma once
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace srv {

// Every field of a line is cut to this many bytes.
inline constexpr size_t maxLoggedFieldBytes = 512;

class RequestLog {
public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // Appends to `file`; without a call the log goes to standard error.
    bool open(const std::string& file, std::string& error);
    // Opens the file of open() again (it was moved away by a rotation).
    bool reopen(std::string& error);
    void request(const std::string& address, const std::string& method, const std::string& target,
                 const std::string& version, const std::string& userAgent);
    void flush();

private:
    std::mutex lock;
    std::string path;
    std::FILE* out = nullptr;  // owned; null: stderr
};

}  // namespace srv
