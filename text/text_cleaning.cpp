// The cleaning functions give exactly the results of the simple
// restart-from-the-beginning algorithms, but in time linear in the text:
// a server reply of a few hundred kilobytes of patterns must not freeze
// the box.
#include "text/text_cleaning.h"
#include <cstring>
#include <vector>
#include "text/entity_table.h"

namespace {

// First occurrence of `pattern` in [from, end), or nullptr.
const char* find(const char* from, const char* end, const char* pattern, size_t length) {
    while (from + length <= end) {
        const char* hit = static_cast<const char*>(memchr(from, pattern[0], end - from - length + 1));
        if (!hit) return nullptr;
        if (memcmp(hit, pattern, length) == 0) return hit;
        from = hit + 1;
    }
    return nullptr;
}

// A matcher for one pattern: the automaton state after each byte pushed,
// so that bytes can be popped again and matching resumes where it was.
class PatternStack {
public:
    explicit PatternStack(const eString& pattern) : length(pattern.size()), table((length + 1) * 256) {
        // Deterministic automaton: table[state * 256 + byte] = next state.
        std::vector<size_t> fail(length + 1, 0);
        for (size_t i = 1; i < length; ++i) {
            size_t k = fail[i];
            while (k > 0 && pattern[k] != pattern[i]) k = fail[k];
            fail[i + 1] = (pattern[k] == pattern[i]) ? k + 1 : 0;
        }
        for (size_t state = 0; state <= length; ++state) {
            for (int byte = 0; byte < 256; ++byte) {
                size_t next;
                if (state < length && static_cast<unsigned char>(pattern[state]) == byte)
                    next = state + 1;
                else if (state == 0)
                    next = 0;
                else
                    next = table[fail[state] * 256 + byte];
                table[state * 256 + byte] = static_cast<unsigned>(next);
            }
        }
        states.push_back(0);
    }

    // Appends a byte; true when the text now ends with the pattern.
    bool push(char c) {
        text.push_back(c);
        unsigned next = table[states.back() * 256 + static_cast<unsigned char>(c)];
        states.push_back(next);
        return next == length;
    }
    void popPattern() {
        text.resize(text.size() - length);
        states.resize(states.size() - length);
    }
    eString take() { return eString(std::move(text)); }

private:
    size_t length;
    std::vector<unsigned> table;
    std::vector<unsigned> states;  // states[i]: after the first i bytes
    std::string text;
};

}  // namespace

void replace(char* text, const char* pattern, const char* replacement) {
    size_t patternLength = strlen(pattern), replacementLength = strlen(replacement);
    if (patternLength == 0 || replacementLength > patternLength) return;  // outside the contract
    size_t textLength = strlen(text);
    const char* end = text + textLength;
    const char* hit = find(text, end, pattern, patternLength);
    if (!hit) return;
    char* write = text;
    const char* read = text;
    while (hit) {
        size_t keep = hit - read;
        memmove(write, read, keep);
        write += keep;
        memcpy(write, replacement, replacementLength);
        write += replacementLength;
        read = hit + patternLength;
        hit = find(read, end, pattern, patternLength);
    }
    memmove(write, read, end - read + 1);  // the rest, terminator included
}

void replace_sonderzeichen(char* text) {
    if (!strchr(text, '&')) return;
    for (size_t row = 0; row < entityTableSize; ++row)
        replace(text, entityTable[row].entity, entityTable[row].replacement);
}

void replace_sonderzeichen(eString& text) {
    if (text.find('&') == eString::npos) return;
    replace_sonderzeichen(text.data());
    text.resize(strlen(text.c_str()));
}

eString replaceAll(eString text, eString pattern, eString replacement) {
    if (pattern.empty()) return text;
    if (replacement.find(pattern) != eString::npos) {
        // Outside the contract: restarting would never end. One pass instead.
        eString out;
        size_t from = 0, at;
        while ((at = text.find(pattern, from)) != eString::npos) {
            out.append(text, from, at - from).append(replacement);
            from = at + pattern.size();
        }
        return out.append(text, from, eString::npos);
    }
    if (text.find(pattern) == eString::npos) return text;
    // The processed prefix never holds the pattern, so the first occurrence
    // of the whole text is the first one to end while pushing bytes. Its
    // replacement goes back in front of the unread input, where it may
    // combine with what follows or, after later pops, with what precedes.
    PatternStack done(pattern);
    std::string pending;  // replacement bytes still to push, in reverse
    size_t next = 0;
    for (;;) {
        char c;
        if (!pending.empty()) {
            c = pending.back();
            pending.pop_back();
        } else if (next < text.size()) {
            c = text[next++];
        } else {
            break;
        }
        if (done.push(c)) {
            done.popPattern();
            pending.append(replacement.rbegin(), replacement.rend());
        }
    }
    return done.take();
}

// Both tag removers come down to one scan: after deleting the first tag,
// the text before it holds no "<", so the next first tag is the next tag
// of the scan. They differ only in the fallback for a text of tags only.
static eString withoutTags(const eString& text) {
    eString out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('<', i);
        if (open == eString::npos) break;
        size_t close = text.find('>', open);
        if (close == eString::npos) break;  // an unclosed "<" and the rest stay as text
        out.append(text, i, open - i);
        i = close + 1;
    }
    out.append(text, i, eString::npos);
    return out;
}

eString removeTags(eString text) {
    eString out = withoutTags(text);
    return out.empty() ? text : out;
}

eString stripHTMLTags(eString text) { return withoutTags(text); }

void trim1(eString& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == eString::npos) {
        if (!text.empty()) text.pop_back();  // n blanks keep n - 1
        return;
    }
    size_t last = text.find_last_not_of(' ');
    text = text.substr(first, last - first + 1);
}

eString substituteForRequest(eString text) {
    text = replaceAll(text, " ", "_");
    text = replaceAll(text, "\t", "_");
    text = replaceAll(text, "&", "e");
    text = replaceAll(text, "\"", "");
    text = replaceAll(text, "/", "_");
    text = replaceAll(text, "?", "_");
    return text;
}
