#include "server/shout_intake.h"

#include "server/replies.h"
#include "server/text_codec.h"

namespace srv {

namespace {

bool allowedInShout(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t length = 0;
        uint32_t c = decodeUtf8At(text, i, length);
        if (length == 0 || shoutForbidden(c)) return false;
        i += length;
    }
    return true;
}

}  // namespace

ShoutVerdict checkShoutText(const std::string& nick, const std::string& message) {
    if (!allowedInShout(nick) || !allowedInShout(message)) return ShoutVerdict::BadBytes;
    if (message.empty()) return ShoutVerdict::EmptyMessage;
    // Fifteen characters stay well inside a line, however escaped.
    if (utf8Length(nick) > maxNickChars) return ShoutVerdict::NickTooLong;
    if (utf8Length(message) > maxMessageChars) return ShoutVerdict::MessageTooLong;
    // The row must also stay one line of the page the plug-in can read.
    if (shoutLine(message).empty()) return ShoutVerdict::LineTooLong;
    return ShoutVerdict::Stored;
}

std::string postReply(ShoutVerdict verdict) {
    // The plug-in never reads this page; a person trying the URL does.
    const char* text = "Shout saved, thank you!";
    switch (verdict) {
    case ShoutVerdict::Stored: break;
    case ShoutVerdict::EmptyMessage: text = "Empty shout, nothing saved."; break;
    case ShoutVerdict::MessageTooLong: text = "Shout longer than 500 characters, not saved."; break;
    case ShoutVerdict::LineTooLong:
        text = "Shout with too many of the characters &amp; &lt; &gt; &quot; to fit one line of the list, not saved.";
        break;
    case ShoutVerdict::NickTooLong: text = "Nickname longer than 15 characters, not saved."; break;
    case ShoutVerdict::BadBytes: text = "Shout with invalid characters, not saved."; break;
    case ShoutVerdict::Banned: text = "This nickname may not shout here."; break;
    case ShoutVerdict::TooSoon: text = "One shout at a time, please: not saved."; break;
    case ShoutVerdict::NotStored: text = "The server could not store the shout just now, not saved. Please try later."; break;
    }
    return std::string("<html><body><p>") + text + "</p></body></html>\n";
}

}  // namespace srv
