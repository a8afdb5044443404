// eTextInputField: a one-line field. OK enters and leaves edit mode. While
// editing, typed text goes in at the cursor, digit keys type their digit,
// left/right move the cursor by one character, up/down are kept (the user
// leaves the field with OK, as the on-screen help says) and exit ends
// editing keeping the text. Two control bytes in typed text edit: 0x08
// deletes the character before the cursor, 0x7f the one after it; other
// control bytes are dropped, the field has one line.
#include "emu/widget_private.h"

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

int characterCount(const std::string& s) {
    int n = 0;
    for (char c : s)
        if (!isContinuation(c)) ++n;
    return n;
}

// Byte offset of the character boundary at or before `pos`.
size_t boundaryBefore(const std::string& s, size_t pos) {
    if (pos > s.size()) pos = s.size();
    while (pos > 0 && pos < s.size() && isContinuation(s[pos])) --pos;
    return pos;
}

size_t nextBoundary(const std::string& s, size_t pos) {
    if (pos >= s.size()) return s.size();
    ++pos;
    while (pos < s.size() && isContinuation(s[pos])) ++pos;
    return pos;
}

size_t previousBoundary(const std::string& s, size_t pos) {
    if (pos == 0) return 0;
    --pos;
    while (pos > 0 && isContinuation(s[pos])) --pos;
    return pos;
}

// Length of the well-formed UTF-8 sequence at s[i], 0 when it is not one.
size_t sequenceLength(const std::string& s, size_t i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size() || (n == 2 && b < 0xC2)) return 0;
    for (size_t k = 1; k < n; ++k)
        if (!isContinuation(s[i + k])) return 0;
    return n;
}

}  // namespace

eTextInputField::eTextInputField(eWidget* parent, eLabel* description, eWidget* /*help*/,
                                 const char* decoration)
    : eButton(parent, description, 1, decoration) {}

void eTextInputField::setMaxChars(int characters) { maxChars = characters < 0 ? 0 : characters; }

int eTextInputField::getMaxChars() const { return maxChars; }

bool eTextInputField::isEditing() const { return editing; }

int eTextInputField::eventHandler(const eWidgetEvent& event) {
    // The text may have been replaced by setText since the last key.
    std::string text = getText();
    size_t at = boundaryBefore(text, static_cast<size_t>(cursor));

    auto insert = [&](const std::string& typed) {
        std::string accepted;
        const bool unlimited = maxChars == 0;
        int room = unlimited ? 0 : maxChars - characterCount(text);
        for (size_t i = 0; i < typed.size();) {
            size_t length = sequenceLength(typed, i);
            if (length == 0) {  // malformed: the byte is dropped
                ++i;
                continue;
            }
            size_t end = i + length;
            unsigned char first = static_cast<unsigned char>(typed[i]);
            if (first == 0x08) {
                size_t from = previousBoundary(text, at);
                text.erase(from, at - from);
                at = from;
                room = maxChars - characterCount(text);
            } else if (first == 0x7f) {
                text.erase(at, nextBoundary(text, at) - at);
                room = maxChars - characterCount(text);
            } else if (first >= 0x20 && (unlimited || room > 0)) {
                text.insert(at, typed, i, end - i);
                at += end - i;
                --room;
            }
            i = end;
        }
        setText(text);
        cursor = static_cast<int>(at);
    };

    if (event.type == eWidgetEvent::evtAction) {
        const eAction* a = event.action;
        if (a == &i_cursorActions->ok) {
            editing = !editing;
            cursor = static_cast<int>(text.size());
            return 1;
        }
        if (!editing) return eButton::eventHandler(event);
        if (a == &i_cursorActions->left) cursor = static_cast<int>(previousBoundary(text, at));
        else if (a == &i_cursorActions->right) cursor = static_cast<int>(nextBoundary(text, at));
        else if (a == &i_cursorActions->cancel) editing = false;
        return 1;  // up and down stay in the field
    }
    if (event.type == eWidgetEvent::evtText) {
        if (!editing || !event.text) return 0;
        insert(event.text);
        return 1;
    }
    if (event.type == eWidgetEvent::evtKey && editing && event.key && event.key->flags != 2 &&
        event.key->code >= rcKey0 && event.key->code <= rcKey0 + 9) {
        insert(std::string(1, static_cast<char>('0' + event.key->code - rcKey0)));
        return 1;
    }
    if (event.type == eWidgetEvent::lostFocus) editing = false;
    return eButton::eventHandler(event);
}
