// eListBoxBase and its entries: one current entry, kept inside the window
// of entries the list's height shows.
#include <algorithm>
#include <cmath>
#include "emu/text_engine.h"
#include "emu/widget_private.h"

// Entries join their list once fully built (the list may read their text
// at once), so the concrete entry class appends, not this base.
eListBoxEntry::eListBoxEntry(eListBoxBase*, const eString& helpText) : helpText(helpText) {}

eListBoxEntryText::eListBoxEntryText(eListBoxBase* list, const eString& text, int key, int align,
                                     const eString& helpText, int /*keyType*/)
    : eListBoxEntry(list, helpText), text(text), key(key), align(align) {
    if (list) list->append(this);
}

int eListBoxEntryText::getEntryHeight() {
    // One line of the list font and a little air above and below.
    float line = emu::lineHeight(eSkin::getActive()->queryFont("eListBox"));
    return static_cast<int>(std::ceil(line > 0 ? line : 20.0f)) + 6;
}

eListBoxBase::eListBoxBase(eWidget* parent, const eWidget* /*description*/, int takeFocus,
                           int entryHeight, const char* decoration)
    : eDecoWidget(parent, takeFocus, decoration), entryHeight(entryHeight > 0 ? entryHeight : 1) {}

eListBoxBase::~eListBoxBase() {
    for (eListBoxEntry* e : entries) delete e;
}

void eListBoxBase::setColumns(int c) { columns = c > 0 ? c : 1; }

int eListBoxBase::getColumns() const { return columns; }

void eListBoxBase::beginAtomic() { ++atomic; }

void eListBoxBase::endAtomic() {
    if (atomic > 0) --atomic;
}

void eListBoxBase::clearList() {
    for (eListBoxEntry* e : entries) delete e;
    entries.clear();
    current = -1;
    top = 0;
    if (impl().entriesChanged) impl().entriesChanged();
}

void eListBoxBase::append(eListBoxEntry* entry) {
    if (!entry) return;
    entries.push_back(entry);
    if (current < 0) current = 0;
    if (impl().entriesChanged) impl().entriesChanged();
}

int eListBoxBase::getCount() const { return static_cast<int>(entries.size()); }

const std::vector<eListBoxEntry*>& eListBoxBase::getEntries() const { return entries; }

eListBoxEntry* eListBoxBase::getCurrentEntry() const {
    return current >= 0 && current < getCount() ? entries[current] : nullptr;
}

int eListBoxBase::getCurrentIndex() const { return current; }

int eListBoxBase::getEntryHeightPx() const { return entryHeight; }

int eListBoxBase::getTopIndex() const { return top; }

namespace {
// Entries the list shows at once: whole rows times columns, at least one.
int visibleEntries(const eListBoxBase& list) {
    int rows = list.getClientSize().h / list.getEntryHeightPx();
    return std::max(rows, 1) * list.getColumns();
}
}  // namespace

void eListBoxBase::setCurrentIndex(int index) {
    if (index < 0 || index >= getCount()) return;  // out of range: unchanged
    current = index;
    int page = visibleEntries(*this);
    if (current < top) top = current;
    else if (current >= top + page) top = current - page + 1;
}

int eListBoxBase::eventHandler(const eWidgetEvent& event) {
    if (event.type != eWidgetEvent::evtAction) return eDecoWidget::eventHandler(event);
    const eAction* a = event.action;
    const int count = getCount();
    const int page = visibleEntries(*this);
    if (a == &i_cursorActions->up || a == &i_cursorActions->down) {
        if (count > 0) setCurrentIndex(std::clamp(current + (a == &i_cursorActions->up ? -1 : 1), 0, count - 1));
        return 1;
    }
    if (a == &i_cursorActions->left || a == &i_cursorActions->right) {
        if (count == 0) return 1;
        int step = a == &i_cursorActions->left ? -page : page;
        // The whole window of entries moves a page; the current entry with it.
        top = std::clamp(top + step, 0, std::max(count - page, 0));
        current = std::clamp(current + step, 0, count - 1);
        setCurrentIndex(current);
        return 1;
    }
    if (a == &i_cursorActions->ok) {
        // An empty list has nothing to select.
        if (eListBoxEntry* entry = getCurrentEntry()) sendSelected(entry);
        return 1;
    }
    if (a == &i_cursorActions->cancel) {
        sendSelected(nullptr);
        return 1;
    }
    return eDecoWidget::eventHandler(event);
}
