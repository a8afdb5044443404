// The list of texts that fills a window above its status line: one column,
// one entry per item, an entry's key telling which item it is.
#pragma once
#include <vector>
#include "host/ewidget.h"

using TextList = eListBox<eListBoxEntryText>;

// One entry: the text it shows and the key its selection carries back.
struct TextListEntry {
    eString text;
    int key;
};

// A list of `window` (owned by it) at the client area's top left, inset by
// a small margin: as wide as the client area less that margin, `shortBy`
// pixels less tall than it; one column, its decoration loaded, no entries.
TextList* addTextList(eWidget* window, int shortBy);

// Replaces the list's entries by `entries`, in order, in one redraw.
void setTextListEntries(TextList* list, const std::vector<TextListEntry>& entries);
