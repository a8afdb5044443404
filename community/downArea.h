// The download area: six categories; a chosen one opens its file list.
#pragma once
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/text_list.h"

class downArea : public eWindow {
public:
    downArea();
    ~downArea() override;

    void selectedItem(eListBoxEntryText* item);
    void downAreaDone(int error);

private:
    TextList* list;
    eLabel* statusLabel;
    eString categoryName;  // requested last
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
};
