#include "demo-server/shout_board.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace demo {

namespace {

// The reader takes lines in pieces of 1023 bytes; "<td>" + field + "</td>\n"
// has to stay one piece.
constexpr size_t fieldBytes = 1000;
constexpr size_t nickBytes = 60;

const char* entityFor(char c) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return nullptr;
    }
}

// Length of the UTF-8 sequence starting at `text[i]`, continuation bytes
// that follow included; stray bytes count alone.
size_t sequenceLength(const std::string& text, size_t i) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    return n;
}

std::string two(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    return buf;
}

}  // namespace

std::string shoutField(const std::string& plain, size_t maxBytes) {
    std::string text = plain;
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    if (text.size() < 2) text += ' ';
    std::string html;
    for (size_t i = 0; i < text.size();) {
        size_t n = sequenceLength(text, i);
        std::string piece;
        for (size_t k = 0; k < n; ++k) {
            const char* entity = entityFor(text[i + k]);
            piece += entity ? entity : std::string(1, text[i + k]);
        }
        if (html.size() + piece.size() > maxBytes) break;
        html += piece;
        i += n;
    }
    return html;
}

bool ShoutBoard::load(const std::string& file, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file;
        return false;
    }
    std::deque<Shout> loaded;
    std::vector<std::string> block;
    std::string line;
    int lineNo = 0;
    auto finish = [&]() {
        if (block.empty()) return true;
        if (block.size() != 4) {
            error = file + ":" + std::to_string(lineNo) + ": a shout needs four lines";
            return false;
        }
        loaded.push_back(Shout{block[0], block[1], block[2], block[3]});
        block.clear();
        return true;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '#') continue;
        if (line.empty()) {
            if (!finish()) return false;
            continue;
        }
        if (line.size() < 2) {
            error = file + ":" + std::to_string(lineNo) + ": the plug-in skips fields shorter than two bytes";
            return false;
        }
        block.push_back(line);
    }
    ++lineNo;
    if (!finish()) return false;
    std::lock_guard<std::mutex> guard(lock);
    shouts = std::move(loaded);
    return true;
}

bool ShoutBoard::post(const std::string& nick, const std::string& message, std::time_t now) {
    if (message.empty()) return false;
    std::tm local{};
    localtime_r(&now, &local);
    Shout shout;
    shout.time = two(local.tm_hour) + ":" + two(local.tm_min);
    shout.nick = shoutField(nick.empty() ? "Guest" : nick, nickBytes);
    shout.message = shoutField(message, fieldBytes);
    shout.date = two(local.tm_mday) + "/" + two(local.tm_mon + 1) + "/" + std::to_string(local.tm_year + 1900);
    std::lock_guard<std::mutex> guard(lock);
    shouts.push_front(std::move(shout));
    if (shouts.size() > kept) shouts.pop_back();
    ++postedCount;
    return true;
}

std::string ShoutBoard::page() const {
    std::string out =
        "<html>\n"
        "<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
        "<title>Orbivox shoutbox</title>\n"
        "</head>\n"
        "<!-- end document head -->\n"
        "<body>\n"
        "<table class=\"shouts\">\n";
    std::lock_guard<std::mutex> guard(lock);
    size_t count = 0;
    for (const Shout& s : shouts) {
        if (count++ == shown) break;
        out += "<tr>\n<td>" + s.time + "</td>\n<td><b>" + s.nick + "</b></td>\n<td>" + s.message +
               "</td>\n<td><small>" + s.date + "</small></td>\n</tr>\n";
    }
    out += "</table>\n</body>\n</html>\n";
    return out;
}

int ShoutBoard::posted() const {
    std::lock_guard<std::mutex> guard(lock);
    return postedCount;
}

}  // namespace demo
