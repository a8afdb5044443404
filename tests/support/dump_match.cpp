#include "tests/support/dump_match.h"
#include <sstream>

namespace dumpmatch {

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The escapes of the dump's quoted values.
std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        if (c == 'n') out += '\n';
        else if (c == 'r') out += '\r';
        else if (c == 't') out += '\t';
        else if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else out += c;
    }
    return out;
}

}  // namespace

std::string Line::operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
}

Line parseLine(const std::string& raw) {
    Line line;
    line.raw = raw;
    size_t i = 0;
    while (i < raw.size() && raw[i] == ' ') ++i;
    line.depth = static_cast<int>(i / 2);
    bool first = true;
    while (i < raw.size()) {
        if (raw[i] == ' ') { ++i; continue; }
        size_t start = i;
        std::string key, value;
        while (i < raw.size() && raw[i] != ' ' && raw[i] != '=') ++i;
        key = raw.substr(start, i - start);
        if (i < raw.size() && raw[i] == '=') {
            ++i;
            if (i < raw.size() && raw[i] == '"') {
                size_t from = ++i;
                while (i < raw.size() && raw[i] != '"') i += raw[i] == '\\' ? 2 : 1;
                value = unescape(raw.substr(from, std::min(i, raw.size()) - from));
                ++i;
            } else {
                size_t from = i;
                while (i < raw.size() && raw[i] != ' ') ++i;
                value = raw.substr(from, i - from);
            }
            line.fields[key] = value;
        } else if (first) {
            line.kind = key;
        } else {
            line.flags.insert(key);
        }
        first = false;
    }
    return line;
}

std::vector<std::string> splitDumps(const std::string& output) {
    std::vector<std::string> dumps;
    for (const std::string& line : lines(output)) {
        if (line.compare(0, 7, "screen ") == 0) dumps.emplace_back();
        if (!dumps.empty()) dumps.back() += line + "\n";
    }
    return dumps;
}

std::string lastDump(const std::string& output) {
    auto dumps = splitDumps(output);
    return dumps.empty() ? std::string() : dumps.back();
}

namespace {
std::vector<Block> windows(const std::string& dump) {
    std::vector<Block> blocks;
    for (const std::string& raw : lines(dump)) {
        Line line = parseLine(raw);
        if (line.kind == "window" && line.depth == 0) blocks.emplace_back();
        else if (line.depth == 0) continue;  // "screen" and anything outside a window
        if (!blocks.empty()) blocks.back().push_back(line);
    }
    return blocks;
}
}  // namespace

std::vector<std::string> windowTitles(const std::string& dump) {
    std::vector<std::string> titles;
    for (const Block& block : windows(dump)) titles.push_back(block.front()["title"]);
    return titles;
}

Block window(const std::string& dump, const std::string& title) {
    Block found;
    for (Block& block : windows(dump))
        if (block.front()["title"] == title) found = block;
    return found;
}

Block innermost(const std::string& dump) {
    for (Block& block : windows(dump))
        if (block.front()["modal"] == "innermost") return block;
    return {};
}

Line find(const Block& block, const std::string& kind, const std::string& text) {
    for (size_t i = 1; i < block.size(); ++i)
        if ((kind.empty() || block[i].kind == kind) && block[i].text().find(text) != std::string::npos)
            return block[i];
    return Line();
}

Block all(const Block& block, const std::string& kind) {
    Block out;
    for (size_t i = 1; i < block.size(); ++i)
        if (block[i].kind == kind) out.push_back(block[i]);
    return out;
}

Line focused(const Block& block) {
    for (size_t i = 1; i < block.size(); ++i)
        if (block[i].has("focus")) return block[i];
    return Line();
}

}  // namespace dumpmatch
