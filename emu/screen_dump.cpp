// The plain-text screen dump. One line per window or widget, so tests and
// scripts can grep it. Format (docs/screen-dump.md has the long form):
//
//   screen 720x576
//   window <class> outer=X,Y,WxH client=X,Y,WxH modal=<innermost|outer|no> [focus=<class>] title="..."
//       (message boxes add: flags=0xNN message="...")
//     <class>[ name="..."] rect=X,Y,WxH <details>[ focus] text="..."
//       entry key=N[ current] text="..."
//
// Windows: every shown top-level window, bottom to top, in screen
// coordinates. Widgets: every shown widget, indented two blanks a level
// below its window, placed in its parent's client area. Details by class:
//   eLabel           flags=N extent=WxH
//   eButton          shortcut="..."
//   eTextInputField  maxchars=N editing=0|1
//   eComboBox        current=N (then its entries)
//   eListBox         count=N current=N top=N (then its entries)
//   eProgress        start=N size=N direction=horizontal|vertical
//   any widget with a pixmap: pixmap=WxH
// Quoted strings escape backslash, double quote, \n, \r, \t and other
// control bytes (\xNN), so a line never breaks inside a value.
#include <cstdio>
#include <sstream>
#include "emu/screen.h"
#include "emu/widget_private.h"

namespace emu {

namespace {

// Writes `s` quoted, runs of plain bytes at once: a long value is never
// built whole a second time.
struct Quoted {
    const std::string& s;
};

std::ostream& operator<<(std::ostream& out, Quoted q) {
    out << '"';
    const char* plain = q.s.data();
    const char* end = plain + q.s.size();
    for (const char* at = plain; at != end; ++at) {
        auto c = static_cast<unsigned char>(*at);
        if (c >= 0x20 && c != 0x7f && c != '\\' && c != '"') continue;
        out.write(plain, at - plain);
        plain = at + 1;
        switch (c) {
        case '\\': out << "\\\\"; break;
        case '"': out << "\\\""; break;
        case '\n': out << "\\n"; break;
        case '\r': out << "\\r"; break;
        case '\t': out << "\\t"; break;
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out << hex;
        }
        }
    }
    out.write(plain, end - plain);
    return out << '"';
}

std::string rect(ePoint p, eSize s) {
    return std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(s.w) + "x" +
           std::to_string(s.h);
}

void dumpEntries(std::ostream& out, const eListBoxBase& list, int current, int depth) {
    const auto& entries = list.getEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        auto* text = dynamic_cast<const eListBoxEntryText*>(entries[i]);
        out << std::string(2 * depth, ' ') << "entry key=" << (text ? text->getKey() : 0)
            << (static_cast<int>(i) == current ? " current" : "") << " text=" << Quoted{entries[i]->getText()}
            << "\n";
    }
}

void dumpWidget(std::ostream& out, eWidget* w, eWidget* focus, int depth) {
    if (!w->isVisible()) return;
    out << std::string(2 * depth, ' ') << w->className();
    if (!w->getName().empty()) out << " name=" << Quoted{w->getName()};
    out << " rect=" << rect(w->getPosition(), w->getSize());

    const eListBoxBase* entriesOf = nullptr;
    int current = -1;
    if (auto* field = dynamic_cast<eTextInputField*>(w)) {
        out << " maxchars=" << field->getMaxChars() << " editing=" << (field->isEditing() ? 1 : 0);
    } else if (auto* combo = dynamic_cast<eComboBox*>(w)) {
        eListBoxEntryText* entry = combo->getCurrent();
        const auto& entries = combo->getList()->getEntries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == entry) current = static_cast<int>(i);
        out << " current=" << current;
        entriesOf = combo->getList();
    } else if (auto* button = dynamic_cast<eButton*>(w)) {
        out << " shortcut=" << Quoted{button->getShortcut()};
    } else if (auto* label = dynamic_cast<eLabel*>(w)) {
        eSize extent = label->getExtend();
        out << " flags=" << label->getFlags() << " extent=" << extent.w << "x" << extent.h;
    } else if (auto* list = dynamic_cast<eListBoxBase*>(w)) {
        current = list->getCurrentIndex();
        out << " count=" << list->getCount() << " current=" << current << " top=" << list->getTopIndex();
        entriesOf = list;
    } else if (auto* bar = dynamic_cast<eProgress*>(w)) {
        out << " start=" << bar->getStart() << " size=" << bar->getPerc()
            << " direction=" << (bar->direction ? "vertical" : "horizontal");
    }
    if (const gPixmapPtr& pixmap = w->getPixmap()) out << " pixmap=" << pixmap->width() << "x" << pixmap->height();
    if (w == focus) out << " focus";
    out << " text=" << Quoted{w->getText()} << "\n";

    if (entriesOf) dumpEntries(out, *entriesOf, current, depth + 1);
    for (eWidget* child : w->getChildren()) dumpWidget(out, child, focus, depth + 1);
}

}  // namespace

void dumpScreen(std::ostream& out) {
    out << "screen " << kScreenWidth << "x" << kScreenHeight << "\n";
    const auto& stack = execStack();
    for (eWidget* window : topLevelWindows()) {
        if (!window->isVisible()) continue;
        const char* modal = "no";
        for (eWidget* running : stack)
            if (running == window) modal = running == stack.back() ? "innermost" : "outer";
        eWidget* focus = window->getFocus();
        out << "window " << window->className() << " outer=" << rect(window->getPosition(), window->getSize())
            << " client=" << rect(window->getAbsoluteClientPosition(), window->getClientSize())
            << " modal=" << modal;
        if (focus) out << " focus=" << focus->className();
        out << " title=" << Quoted{window->getText()};
        if (auto* box = dynamic_cast<eMessageBox*>(window)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned>(box->getFlags()));
            out << " flags=" << hex << " message=" << Quoted{box->getMessage()};
        }
        out << "\n";
        for (eWidget* child : window->getChildren()) dumpWidget(out, child, focus, 1);
    }
}

std::string dumpScreen() {
    std::ostringstream out;
    dumpScreen(out);
    return out.str();
}

}  // namespace emu
