// Which posted shouts are stored: the plug-in's own limits on the text,
// banned nicknames and a pause between posts of one client address.
#pragma once
#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace srv {

enum class ShoutVerdict {
    Stored,
    EmptyMessage,
    MessageTooLong,  // more characters than the plug-in's field holds
    LineTooLong,     // escaped for the page, longer than a line the plug-in reads
    NickTooLong,
    BadBytes,  // not UTF-8, or a character shoutForbidden() names
    Banned,
    TooSoon,
    NotStored,  // the store failed
};

// The input field of the plug-in holds 500 characters.
inline constexpr size_t maxMessageChars = 500;
inline constexpr size_t maxNickChars = 15;

// Why a shout is refused by its texts alone; Stored when it may be kept.
// Lengths are characters of the text as typed (decoded from the query).
// An empty nickname is allowed (it is shown as "Guest").
ShoutVerdict checkShoutText(const std::string& nick, const std::string& message);
// The short page answered to a post, whatever the verdict.
std::string postReply(ShoutVerdict verdict);

// At most one post per address and interval; thread-safe.
class PostPacer {
public:
    using Clock = std::chrono::steady_clock;
    explicit PostPacer(std::chrono::milliseconds interval) : interval(interval) {}
    // Takes the address's turn when it is free; false when it is too soon.
    bool take(const std::string& address, Clock::time_point now = Clock::now());
    // Gives a turn back, for a post refused after take().
    void giveBack(const std::string& address);

private:
    std::chrono::milliseconds interval;
    std::mutex lock;
    std::map<std::string, Clock::time_point> last;
};

}  // namespace srv
