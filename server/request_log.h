// One line per request: the client address, the request line and its
// User-Agent.
#pragma once
#include <cstdio>
#include <mutex>
#include <string>

namespace srv {

class RequestLog {
public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // Appends to `file`; without a call the log goes to standard error.
    bool open(const std::string& file, std::string& error);
    void request(const std::string& address, const std::string& method, const std::string& target,
                 const std::string& version, const std::string& userAgent);

private:
    std::mutex lock;
    std::FILE* out = nullptr;  // owned; null: stderr
};

}  // namespace srv
