#include "emu/runner/key_script.h"
#include "emu/screen.h"

namespace runner {

namespace {

const char kTextPrefix[] = "text:";
const size_t kTextPrefixLength = sizeof kTextPrefix - 1;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Removes one pair of surrounding double quotes, resolving backslashes.
std::string unquote(const std::string& s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return s;
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '\\' && i + 2 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

}  // namespace

bool parseStep(const std::string& word, ScriptStep& step, std::string& error) {
    step = ScriptStep();
    if (word.compare(0, kTextPrefixLength, kTextPrefix) == 0) {
        step.kind = ScriptStep::Kind::Text;
        step.text = word.substr(kTextPrefixLength);
        return true;
    }
    if (word == "wait") { step.kind = ScriptStep::Kind::Wait; return true; }
    if (word == "dump") { step.kind = ScriptStep::Kind::Dump; return true; }
    if (word == "shot") { step.kind = ScriptStep::Kind::Shot; return true; }
    int code = emu::keyCodeFromName(word);
    if (code < 0) {
        error = "unknown key \"" + word +
                "\" (keys: 0-9 ok exit up down left right pageup pagedown red green yellow blue, "
                "text:STRING, wait, dump, shot)";
        return false;
    }
    step.kind = ScriptStep::Kind::Key;
    step.code = code;
    return true;
}

bool parseKeyList(const std::string& keys, std::vector<ScriptStep>& steps, std::string& error) {
    size_t i = 0;
    while (i < keys.size()) {
        if (isBlank(keys[i])) { ++i; continue; }
        std::string word;
        bool quoted = false;
        for (; i < keys.size() && (quoted || !isBlank(keys[i])); ++i) {
            char c = keys[i];
            if (c == '"') quoted = !quoted;
            else if (quoted && c == '\\' && i + 1 < keys.size()) word += keys[++i];
            else word += c;
        }
        if (quoted) {
            error = "unterminated double quote in --keys";
            return false;
        }
        ScriptStep step;
        if (!parseStep(word, step, error)) return false;
        steps.push_back(step);
    }
    return true;
}

bool parseKeyLines(const std::string& content, std::vector<ScriptStep>& steps, std::string& error) {
    size_t start = 0;
    int lineNumber = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        while (!line.empty() && isBlank(line.back())) line.pop_back();
        size_t first = 0;
        while (first < line.size() && isBlank(line[first])) ++first;
        line.erase(0, first);
        if (line.empty() || line[0] == '#') continue;
        if (line.compare(0, kTextPrefixLength, kTextPrefix) == 0)
            line = kTextPrefix + unquote(line.substr(kTextPrefixLength));
        ScriptStep step;
        if (!parseStep(line, step, error)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return false;
        }
        steps.push_back(step);
    }
    return true;
}

}  // namespace runner
