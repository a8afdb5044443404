// The files of one download category; a chosen file opens its details.
#pragma once
#include <cstdio>
#include <vector>
#include "host/ewidget.h"
#include "net/fetcher.h"

// One file of a category reply: its list text and its id.
struct CategoryEntry {
    eString title;  // entities decoded, line feed kept
    int id;
};

// Reads a category reply: id line, title line, id line, ... in pieces of
// at most 255 bytes. A last id without a title adds nothing. At most
// community::maxCategoryEntries entries; the rest of the reply is left.
std::vector<CategoryEntry> readCategoryReply(FILE* reply);
// Reads /var/tmp/rss.tmp the same way and deletes it; empty when missing.
std::vector<CategoryEntry> loadCategoryReply();

class downCat : public eWindow {
public:
    explicit downCat(const char* category);
    ~downCat() override;

    void selectedItem(eListBoxEntryText* item);
    void downCatDone(int error);

    // For tests.
    eListBox<eListBoxEntryText>* listBox() const { return list; }
    eLabel* status() const { return statusLabel; }

private:
    eListBox<eListBoxEntryText>* list;
    eLabel* statusLabel;
    eString fileTitle;  // requested last
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
};
