// The operator's logins: sessions named by a random cookie token, each
// with its own CSRF token, and a throttle on failed logins per address.
// Thread-safe; kept in memory, so a restart logs the operator out.
#pragma once
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace srv::web {

// 32 random bytes as 64 hex digits.
inline constexpr size_t tokenBytes = 32;
inline constexpr size_t tokenHexDigits = 2 * tokenBytes;
std::string randomToken();
// Compares two tokens in time that does not depend on where they differ.
bool sameToken(const std::string& a, const std::string& b);

class OperatorSessions {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto idleLimit = std::chrono::minutes(30);
    static constexpr auto ageLimit = std::chrono::hours(12);
    static constexpr size_t maxSessions = 64;

    // A new session; its token goes into the session cookie.
    std::string open(Clock::time_point now = Clock::now());
    // The CSRF token of a live session; nothing for an unknown, closed or
    // expired one. Being asked counts as activity.
    std::optional<std::string> csrfOf(const std::string& token, Clock::time_point now = Clock::now());
    void close(const std::string& token);

private:
    struct Session {
        std::string csrf;
        Clock::time_point opened;
        Clock::time_point lastSeen;
    };
    std::mutex lock;
    std::map<std::string, Session> sessions;
};

// Failed logins from one address: a few are free, then each further try
// must wait twice as long as the one before.
class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int freeFailures = 3;
    static constexpr auto firstWait = std::chrono::seconds(2);
    static constexpr auto longestWait = std::chrono::minutes(5);
    static constexpr size_t maxAddresses = 10000;

    bool mayTry(const std::string& address, Clock::time_point now = Clock::now());
    void failed(const std::string& address, Clock::time_point now = Clock::now());
    void succeeded(const std::string& address);

private:
    struct Record {
        int failures = 0;
        Clock::time_point notBefore;
        Clock::time_point last;
    };
    std::mutex lock;
    std::map<std::string, Record> records;
};

}  // namespace srv::web
