// The shoutbox: sample shouts from the data folder plus the ones posted
// since start, newest first, rendered as the page the plug-in reads.
#pragma once
#include <ctime>
#include <deque>
#include <mutex>
#include <string>

namespace demo {

// One shout; every field is HTML, one line, ready for the page.
struct Shout {
    std::string time;
    std::string nick;
    std::string message;
    std::string date;  // the fourth column
};

class ShoutBoard {
public:
    static constexpr size_t kept = 200;   // older shouts are forgotten
    static constexpr size_t shown = 50;   // newest shouts on the page

    // Reads blocks of four lines (time, nickname, message, date) separated
    // by empty lines; lines starting with "#" are comments. Fields are HTML.
    bool load(const std::string& file, std::string& error);
    // Stores a shout given as plain text. An empty message is refused.
    bool post(const std::string& nick, const std::string& message, std::time_t now);
    std::string page() const;
    int posted() const;

private:
    mutable std::mutex lock;
    std::deque<Shout> shouts;
    int postedCount = 0;
};

// Plain text as one HTML field line the plug-in keeps whole: line breaks
// and tabs become blanks, markup characters become entities, at most
// `maxBytes` bytes of HTML (cut between characters), and never less than
// two bytes of text, since the reader drops shorter lines.
std::string shoutField(const std::string& plain, size_t maxBytes);

}  // namespace demo
