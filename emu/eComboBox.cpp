// eComboBox: a button showing its current entry. OK opens the entries in a
// popup window (a nested modal run) right below the box, or above it when
// the screen ends; OK there picks, exit leaves the choice as it was.
#include <algorithm>
#include <memory>
#include "emu/widget_private.h"

struct eComboBox::Popup {
    eWindow window;  // top-level, hidden until opened
    eListBox<eListBoxEntryText>* list;  // child of `window`
    int current = -1;  // position set by setCurrent; -1: none yet
    int chosen = -1;   // position picked in the open popup
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    Popup() : window(0), list(new eListBox<eListBoxEntryText>(&window)) {
        // A popup has a border but no title bar.
        window.impl().frame = emu::Insets{emu::kWindowBorder, emu::kWindowBorder, emu::kWindowBorder,
                                          emu::kWindowBorder};
        list->selected.connect([this](eListBoxEntryText* entry) {
            chosen = entry ? list->getCurrentIndex() : -1;
            window.close(entry ? 0 : -1);
        });
    }
    ~Popup() { *alive = false; }
};

eComboBox::eComboBox(eWidget* parent, int openEntries, eLabel* description, int takeFocus,
                     const char* decoration)
    : eButton(parent, description, takeFocus, decoration), popup(new Popup), openEntries(openEntries) {
    // Until a position is set the box shows (and getCurrent gives) the first entry.
    popup->list->impl().entriesChanged = [this] {
        if (popup->list->getCount() == 0) popup->current = -1;  // cleared: a refill starts afresh
        eListBoxEntryText* entry = getCurrent();
        setText(entry ? entry->getText() : eString());
    };
}

eComboBox::~eComboBox() {
    popup->list->impl().entriesChanged = nullptr;
    delete popup;
}

eListBox<eListBoxEntryText>* eComboBox::getList() { return popup->list; }

eListBoxEntryText* eComboBox::getCurrent() const {
    const auto& entries = popup->list->getEntries();
    if (entries.empty()) return nullptr;
    int at = popup->current >= 0 && popup->current < static_cast<int>(entries.size()) ? popup->current : 0;
    return static_cast<eListBoxEntryText*>(entries[at]);
}

void eComboBox::setCurrent(int position, bool sendSelected) {
    const auto& entries = popup->list->getEntries();
    if (position < 0 || position >= static_cast<int>(entries.size())) return;  // unchanged
    auto* entry = static_cast<eListBoxEntryText*>(entries[position]);
    popup->current = position;
    popup->list->setCurrentIndex(position);
    setText(entry->getText());
    if (sendSelected) selected_id(entry);
}

int eComboBox::eventHandler(const eWidgetEvent& event) {
    if (event.type != eWidgetEvent::evtAction || event.action != &i_cursorActions->ok)
        return eButton::eventHandler(event);
    eListBox<eListBoxEntryText>* list = popup->list;
    if (list->getCount() == 0) return 1;

    eWindow& window = popup->window;
    int rows = std::max(openEntries, 1);
    window.cresize(eSize(getSize().w, rows * list->getEntryHeightPx()));
    list->move(ePoint(0, 0));
    list->resize(window.getClientSize());
    ePoint at = getAbsolutePosition();
    window.cmove(ePoint(at.x, at.y + getSize().h + window.getClientRect().y));
    if (window.getPosition().y + window.getSize().h > emu::kScreenHeight)
        window.move(ePoint(window.getPosition().x, std::max(at.y - window.getSize().h, 0)));

    if (eListBoxEntryText* current = getCurrent()) {
        const auto& entries = list->getEntries();
        list->setCurrentIndex(static_cast<int>(std::find(entries.begin(), entries.end(), current) - entries.begin()));
    }
    popup->chosen = -1;
    window.setFocus(list);
    window.show();
    std::shared_ptr<bool> alive = popup->alive;
    int result = window.exec();
    if (!*alive) return 1;  // the box went away while its popup ran
    window.hide();
    if (result == 0 && popup->chosen >= 0) setCurrent(popup->chosen, true);
    return 1;
}
