// The cleaning functions give exactly the results of the simple
// restart-from-the-beginning algorithms, but in time linear in the text:
// a server reply of a few hundred kilobytes of patterns must not freeze
// the box.
#include "text/text_cleaning.h"
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <initializer_list>
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

// Every entity starts with "&", and no replacement but that of "&amp;"
// writes one; so a row only needs to look at the places where an "&"
// stands, and only when one of them is followed by the entity's second
// byte. The places, and how many of them each next byte has, are updated
// after a pass that changed the text. A row that matches nothing costs a
// look-up; the work of a text is linear in its length.
namespace {

// The table's lengths, and its rows by the byte after the "&".
struct EntityIndex {
    EntityIndex() {
        for (size_t row = 0; row < entityTableSize; ++row) {
            entity.push_back(strlen(entityTable[row].entity));
            replacement.push_back(strlen(entityTable[row].replacement));
            byNext[static_cast<unsigned char>(entityTable[row].entity[1])].push_back(row);
        }
    }
    std::vector<size_t> entity, replacement;
    std::vector<size_t> byNext[256];
};

const EntityIndex& entityIndex() {
    static const EntityIndex index;
    return index;
}

class AmpPlaces {
public:
    AmpPlaces(const char* text, size_t length) {
        for (const char* amp = static_cast<const char*>(memchr(text, '&', length)); amp;
             amp = static_cast<const char*>(memchr(amp + 1, '&', text + length - amp - 1))) {
            auto next = static_cast<unsigned char>(amp[1]);
            places.push_back(Place{static_cast<size_t>(amp - text), next});
            ++withNext[next];
        }
    }
    bool empty() const { return places.empty(); }
    bool anyWithNext(char second) const { return withNext[static_cast<unsigned char>(second)] != 0; }

    struct Place {
        size_t at;
        unsigned char next;  // the byte after the "&"
    };
    // Every place, in text order.
    const std::vector<Place>& all() const { return places; }

    // After a pass replaced `matches` (entity `from` bytes long, by `to`
    // bytes, the "&" kept or not), every later place moves left, and the
    // byte after a place may have changed.
    void update(const char* text, const std::vector<size_t>& matches, size_t from, size_t to, bool keepsAmp) {
        size_t kept = 0, m = 0, shift = 0;
        for (const Place& place : places) {
            while (m < matches.size() && matches[m] < place.at) {
                shift += from - to;
                ++m;
            }
            --withNext[place.next];
            bool replaced = m < matches.size() && matches[m] == place.at;
            if (replaced && !keepsAmp) continue;
            size_t at = place.at - shift;
            auto next = static_cast<unsigned char>(text[at + 1]);
            places[kept++] = Place{at, next};
            ++withNext[next];
        }
        places.resize(kept);
    }

private:
    std::vector<Place> places;
    uint32_t withNext[256] = {};  // places by the byte after the "&"
};
}  // namespace

namespace {

// Every replacement but these writes neither an "&" nor a byte of an
// entity's name, nor nothing: so in a text without them no entity can form
// where another was replaced, and replacing each entity where it stands,
// in one pass, gives what the rows in their order give.
bool decodesInOnePass(const char* text, const std::vector<AmpPlaces::Place>& places) {
    for (const AmpPlaces::Place& place : places)
        for (const char* joining : {"&amp;", "&aacute;", "&trade;", "&deg;"})
            if (place.next == static_cast<unsigned char>(joining[1]) &&
                strncmp(text + place.at, joining, strlen(joining)) == 0)
                return false;
    return true;
}

void decodeInOnePass(char* text, size_t length, const std::vector<AmpPlaces::Place>& places) {
    const EntityIndex& index = entityIndex();
    size_t read = 0, write = 0;
    for (const AmpPlaces::Place& place : places) {
        for (size_t row : index.byNext[place.next]) {
            size_t entityLength = index.entity[row];
            if (place.at + entityLength > length || memcmp(text + place.at, entityTable[row].entity, entityLength) != 0)
                continue;
            memmove(text + write, text + read, place.at - read);
            write += place.at - read;
            memcpy(text + write, entityTable[row].replacement, index.replacement[row]);
            write += index.replacement[row];
            read = place.at + entityLength;
            break;
        }
    }
    memmove(text + write, text + read, length - read + 1);  // terminator included
}

}  // namespace

void replace_sonderzeichen(char* text) {
    size_t length = strlen(text);
    if (!memchr(text, '&', length)) return;
    const EntityIndex& lengths = entityIndex();
    AmpPlaces amps(text, length);
    if (decodesInOnePass(text, amps.all())) return decodeInOnePass(text, length, amps.all());
    std::vector<size_t> matches;
    for (size_t row = 0; row < entityTableSize && !amps.empty(); ++row) {
        const char* entity = entityTable[row].entity;
        if (!amps.anyWithNext(entity[1])) continue;
        const char* replacement = entityTable[row].replacement;
        size_t entityLength = lengths.entity[row], replacementLength = lengths.replacement[row];

        matches.clear();
        for (const AmpPlaces::Place& place : amps.all())
            if (place.next == static_cast<unsigned char>(entity[1]) && place.at + entityLength <= length &&
                memcmp(text + place.at, entity, entityLength) == 0)
                matches.push_back(place.at);
        if (matches.empty()) continue;

        size_t read = matches.front(), write = read;
        for (size_t at : matches) {
            memmove(text + write, text + read, at - read);
            write += at - read;
            memcpy(text + write, replacement, replacementLength);
            write += replacementLength;
            read = at + entityLength;
        }
        memmove(text + write, text + read, length - read + 1);  // terminator included
        length -= read - write;
        amps.update(text, matches, entityLength, replacementLength, replacement[0] == '&');
    }
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
    // The processed prefix `out` never holds the pattern, so the first
    // occurrence of the whole text is the first one to end while appending
    // bytes. Its replacement goes back in front of the unread input, where
    // it may combine with what follows or, after later removals, with what
    // precedes. Each byte costs at most one comparison of the pattern's
    // length, so the work is linear in the text for a given pattern.
    const size_t length = pattern.size();
    const char* const wanted = pattern.data();
    const char last = pattern.back();
    std::vector<char> out;
    out.reserve(text.size());
    std::vector<char> pending;  // replacement bytes still to append, in reverse
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
        out.push_back(c);
        if (c == last && out.size() >= length && memcmp(out.data() + out.size() - length, wanted, length) == 0) {
            out.resize(out.size() - length);
            for (size_t i = replacement.size(); i-- > 0;) pending.push_back(replacement[i]);
        }
    }
    return eString(out.data(), out.size());
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

eString utf8Prefix(eString text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t cut = maxBytes;
    // A continuation byte (10xxxxxx) at the cut belongs to a character that
    // started before it; a character has at most three of them.
    for (int i = 0; i < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++i) --cut;
    text.resize(cut);
    text.shrink_to_fit();  // a kept prefix must not keep the whole text's memory
    return text;
}

eString textPrefix(eString text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    // Longer than any entity of the table or any numeric one.
    constexpr size_t longestEntity = 32;
    auto entityByte = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '#'; };
    eString kept = utf8Prefix(text, maxBytes);
    size_t amp = kept.rfind('&');
    if (amp == std::string::npos || kept.size() - amp > longestEntity) return kept;
    if (!std::all_of(kept.begin() + static_cast<long>(amp) + 1, kept.end(), entityByte)) return kept;
    // The cut splits it if the text goes on with its name up to a ';'.
    size_t end = kept.size();
    while (end < text.size() && end - amp < longestEntity && entityByte(text[end])) ++end;
    if (end < text.size() && text[end] == ';') kept.resize(amp);
    return kept;
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
