#include "ui/text_list.h"

namespace {
constexpr int margin = 4;
}

TextList* addTextList(eWidget* window, int shortBy) {
    auto* list = new TextList(window, nullptr, 1, eListBoxEntryText::getEntryHeight(), "eListBox");
    list->move(ePoint(margin, margin));
    const eSize client = window->getClientSize();
    list->resize(eSize(client.width() - margin, client.height() - shortBy));
    list->loadDeco();
    list->setColumns(1);
    return list;
}

void setTextListEntries(TextList* list, const std::vector<TextListEntry>& entries) {
    list->beginAtomic();
    list->clearList();
    for (const TextListEntry& entry : entries)
        new eListBoxEntryText(list, entry.text, entry.key);  // owned by the list
    list->endAtomic();
}
