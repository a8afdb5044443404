// Buttons, combo boxes, text fields, list boxes and bars. Focus is always
// drawn the same way: the blue face with a light border and an amber stripe
// on the left, so a screenshot shows at a glance where the keys go.
#include <algorithm>

#include "emu/draw.h"
#include "emu/text_engine.h"
#include "emu/theme.h"
#include "emu/widget_painter.h"

namespace emu {
namespace {

constexpr int kRadius = 4;
constexpr int kStripe = 4;

eRect inset(const eRect& r, int by) { return eRect(r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by); }

// A rounded box with a one-pixel border.
void box(const PaintArea& a, const eRect& r, uint32_t face, uint32_t border) {
    fillRoundRect(a.target, a.clip, r, kRadius, border);
    fillRoundRect(a.target, a.clip, inset(r, 1), kRadius - 1, face);
}

void focusStripe(const PaintArea& a, const eRect& r) {
    fillRect(a.target, a.clip, eRect(r.x + 2, r.y + 3, kStripe, r.h - 6), theme::accent);
}

uint32_t keyColour(const std::string& name) {
    if (name == "red") return theme::keyRed;
    if (name == "green") return theme::keyGreen;
    if (name == "yellow") return theme::keyYellow;
    if (name == "blue") return theme::keyBlue;
    return 0;
}

// Narrow buttons (the OK of a dialog) get tighter margins, so their word
// still fits next to the badge.
int marginOf(const eRect& r) { return r.w < 120 ? 8 : 10; }

// The shortcut badge at the left of `r`; returns the width it takes.
int shortcutBadge(const PaintArea& a, const eRect& r, const std::string& key, const gFont& font) {
    if (key.empty()) return 0;
    const int size = std::max(std::min(r.h - 8, 22), 6);
    const eRect badge(r.x + marginOf(r), r.y + (r.h - size) / 2, size, size);
    if (uint32_t colour = keyColour(key)) {
        const ePoint centre(badge.x + size / 2, badge.y + size / 2);
        fillCircle(a.target, a.clip, centre, size / 2 - 2, theme::badgeFace);
        fillCircle(a.target, a.clip, centre, size / 2 - 3, colour);
    } else {
        box(a, badge, theme::badgeFace, theme::badgeBorder);
        gFont small = boldOf(font);
        small.pointSize = std::max(size - 7, 6);
        drawLine(a.target, badge.intersect(a.clip),
                 ePoint(badge.x + (size - lineWidth(small, key)) / 2, badge.y + centredTextTop(small, size)), small,
                 key, theme::text);
    }
    return marginOf(r) + size;
}

// The face of every button-like widget; returns the box where its text goes.
eRect buttonFace(const PaintArea& a, eButton& button) {
    const bool focused = button.hasFocus();
    box(a, a.outer, focused ? theme::focusFace : theme::buttonFace,
        focused ? theme::focusBorder : theme::buttonBorder);
    if (focused) focusStripe(a, a.outer);
    const int badge = shortcutBadge(a, a.outer, button.getShortcutPixmap(), fontOf(button));
    const int margin = marginOf(a.outer);
    const int left = badge + margin;
    return eRect(a.outer.x + left, a.outer.y, a.outer.w - left - margin / 2, a.outer.h);
}

void buttonText(const PaintArea& a, const eRect& textBox, eButton& button, bool centre) {
    const gFont font = fontOf(button);
    const std::string& text = button.getText();
    const int width = lineWidth(font, text);
    int x = textBox.x;
    if (centre && width < textBox.w) x += (textBox.w - width) / 2;
    drawLine(a.target, textBox.intersect(a.clip), ePoint(x, textBox.y + centredTextTop(font, textBox.h)), font,
             text, button.hasFocus() ? theme::textOnFocus : theme::text);
}

}  // namespace

void paintButton(const PaintArea& a, eButton& button) {
    const eRect textBox = buttonFace(a, button);
    // Menu buttons with a key badge read left to right; bare ones (OK,
    // Cancel) centre their word.
    buttonText(a, textBox, button, button.getShortcutPixmap().empty());
}

void paintComboBox(const PaintArea& a, eComboBox& comboBox) {
    eRect textBox = buttonFace(a, comboBox);
    const gFont font = fontOf(comboBox);
    const char* arrow = "\xE2\x96\xBC";  // black down-pointing triangle
    const int arrowWidth = lineWidth(font, arrow);
    textBox.w -= arrowWidth + 6;
    buttonText(a, textBox, comboBox, false);
    drawLine(a.target, a.outer.intersect(a.clip),
             ePoint(a.outer.right() - arrowWidth - 10, a.outer.y + centredTextTop(font, a.outer.h)), font, arrow,
             comboBox.hasFocus() ? theme::accent : theme::text);
}

void paintTextInput(const PaintArea& a, eTextInputField& field) {
    const bool editing = field.isEditing(), focused = field.hasFocus();
    fillRect(a.target, a.clip, a.outer, editing ? theme::fieldEditingFace : theme::fieldFace);
    if (editing)
        frameRect(a.target, a.clip, a.outer, 2, theme::accent);
    else if (focused)
        frameRect(a.target, a.clip, a.outer, 2, theme::focusFace);
    else
        frameRect(a.target, a.clip, a.outer, 1, theme::buttonBorder);

    const gFont font = fontOf(field);
    const eRect textBox(a.outer.x + 6, a.outer.y + 2, a.outer.w - 12, a.outer.h - 4);
    const std::string& text = field.getText();
    const int width = lineWidth(font, text);
    const int cursorWidth = editing ? 3 : 0;
    // While editing, the end of a long text stays in view.
    const int shift = std::max(0, width + cursorWidth - textBox.w);
    const int top = a.outer.y + centredTextTop(font, a.outer.h);
    drawLine(a.target, textBox.intersect(a.clip), ePoint(textBox.x - shift, top), font, text,
             editing || focused ? theme::textOnFocus : theme::text);
    if (editing) {
        const int lh = static_cast<int>(lineHeight(font));
        fillRect(a.target, textBox.intersect(a.clip), eRect(textBox.x - shift + width + 1, top, 2, lh), theme::accent);
    }
}

void paintListBox(const PaintArea& a, eListBoxBase& list) {
    const bool focused = list.hasFocus();
    fillRect(a.target, a.clip, a.outer, theme::listFace);

    // Rows as the list counts them (whole entries in the client height);
    // the border is drawn over them afterwards.
    const eRect inner = a.client;
    const eRect innerClip = inner.intersect(a.clip);
    const int entryHeight = std::max(list.getEntryHeightPx(), 1);
    const int rows = std::max(inner.h / entryHeight, 1);
    const int columns = std::max(list.getColumns(), 1);
    const int columnWidth = inner.w / columns;
    const auto& entries = list.getEntries();
    const int count = static_cast<int>(entries.size());
    const int top = std::clamp(list.getTopIndex(), 0, std::max(count - 1, 0));
    const bool scrolls = count > rows * columns;
    const int scrollWidth = scrolls ? 6 : 0;
    const gFont font = fontOf(list);

    for (int index = top; index < count; ++index) {
        const int slot = index - top, column = slot / rows;
        if (column >= columns) break;
        eRect entry(inner.x + column * columnWidth, inner.y + (slot % rows) * entryHeight,
                    columnWidth - (column == columns - 1 ? scrollWidth : 0), entryHeight);
        const bool current = index == list.getCurrentIndex();
        if (current) {
            fillRect(a.target, innerClip, entry, focused ? theme::focusFace : theme::currentUnfocused);
            if (focused) {
                const PaintArea stripeArea{a.target, innerClip, entry, entry};
                focusStripe(stripeArea, entry);
            }
        }
        const eRect textBox(entry.x + 10, entry.y, entry.w - 14, entry.h);
        drawLine(a.target, textBox.intersect(innerClip), ePoint(textBox.x, entry.y + centredTextTop(font, entry.h)),
                 font, entries[index]->getText(), current && focused ? theme::textOnFocus : theme::text);
    }
    if (scrolls) {
        const eRect track(inner.right() - 5, inner.y + 2, 3, inner.h - 4);
        fillRect(a.target, innerClip, track, theme::scrollTrack);
        const int visible = rows * columns;
        const int thumbHeight = std::max(track.h * visible / count, 6);
        const int thumbTop = track.y + (track.h - thumbHeight) * top / std::max(count - visible, 1);
        fillRect(a.target, innerClip, eRect(track.x, std::min(thumbTop, track.bottom() - thumbHeight), 3, thumbHeight),
                 theme::scrollThumb);
    }
    frameRect(a.target, a.clip, a.outer, 1, focused ? theme::focusFace : theme::listBorder);
}

void paintProgress(const PaintArea& a, eProgress& bar) {
    fillRect(a.target, a.clip, a.outer, theme::barTrough);
    frameRect(a.target, a.clip, a.outer, 1, theme::listBorder);
    const eRect inner = inset(a.outer, 2);
    const int from = std::clamp(bar.getStart(), 0, 100);
    const int to = std::clamp(from + std::clamp(bar.getPerc(), 0, 100), from, 100);
    if (to == from) return;
    eRect filled = inner;
    if (bar.direction == 1) {
        filled.y = inner.y + inner.h * from / 100;
        filled.h = std::max(inner.y + inner.h * to / 100 - filled.y, 1);
    } else {
        filled.x = inner.x + inner.w * from / 100;
        filled.w = std::max(inner.x + inner.w * to / 100 - filled.x, 1);
    }
    fillRect(a.target, a.clip, filled, theme::barFill);
}

}  // namespace emu
