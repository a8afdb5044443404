#include "server/web/operator_sessions.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

namespace srv::web {

namespace {

void needSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
}

}  // namespace

std::string randomToken() {
    needSodium();
    unsigned char bytes[tokenBytes];
    randombytes_buf(bytes, sizeof bytes);
    char hex[tokenHexDigits + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

bool sameToken(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return false;
    return sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string OperatorSessions::open(Clock::time_point now) {
    std::string token = randomToken();
    std::lock_guard<std::mutex> guard(lock);
    if (sessions.size() >= maxSessions) {
        // The least recently used session makes room.
        auto oldest = std::min_element(sessions.begin(), sessions.end(), [](const auto& a, const auto& b) {
            return a.second.lastSeen < b.second.lastSeen;
        });
        sessions.erase(oldest);
    }
    sessions[token] = Session{randomToken(), now, now};
    return token;
}

std::optional<std::string> OperatorSessions::csrfOf(const std::string& token, Clock::time_point now) {
    if (token.size() != tokenBytes * 2) return std::nullopt;
    std::lock_guard<std::mutex> guard(lock);
    auto found = sessions.find(token);
    if (found == sessions.end()) return std::nullopt;
    Session& s = found->second;
    if (now - s.lastSeen > idleLimit || now - s.opened > ageLimit) {
        sessions.erase(found);
        return std::nullopt;
    }
    s.lastSeen = now;
    return s.csrf;
}

void OperatorSessions::close(const std::string& token) {
    std::lock_guard<std::mutex> guard(lock);
    sessions.erase(token);
}

bool LoginThrottle::mayTry(const std::string& address, Clock::time_point now) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = records.find(address);
    return found == records.end() || now >= found->second.notBefore;
}

void LoginThrottle::failed(const std::string& address, Clock::time_point now) {
    std::lock_guard<std::mutex> guard(lock);
    if (records.size() >= maxAddresses) {
        for (auto it = records.begin(); it != records.end();)
            it = now - it->second.last > longestWait * 2 ? records.erase(it) : std::next(it);
        if (records.size() >= maxAddresses) records.erase(records.begin());
    }
    Record& r = records[address];
    r.last = now;
    ++r.failures;
    if (r.failures <= freeFailures) return;
    auto wait = firstWait;
    for (int i = freeFailures + 1; i < r.failures && wait < longestWait; ++i) wait *= 2;
    r.notBefore = now + std::min<Clock::duration>(wait, longestWait);
}

void LoginThrottle::succeeded(const std::string& address) {
    std::lock_guard<std::mutex> guard(lock);
    records.erase(address);
}

}  // namespace srv::web
