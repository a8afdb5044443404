// Which posted shouts are stored: the plug-in's own limits on the text,
// banned nicknames; the pause between posts is the store's.
#pragma once
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

}  // namespace srv
