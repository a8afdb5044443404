// The files of one download category; a chosen file opens its details.
#pragma once
#include "community/CategoryReply.h"
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/text_list.h"

class downCat : public eWindow {
public:
    explicit downCat(const char* category);
    ~downCat() override;

    void selectedItem(eListBoxEntryText* item);
    void downCatDone(int error);

private:
    TextList* list;
    eLabel* statusLabel;
    eString fileTitle;  // requested last
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
};
