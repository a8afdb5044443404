// The files of one download category; a chosen file opens its details.
#pragma once
#include "community/CategoryReply.h"
#include "host/ewidget.h"
#include "net/fetcher.h"

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
