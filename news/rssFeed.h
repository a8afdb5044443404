// The feed list window: the titles of one downloaded feed; OK on a title
// opens its article.
#pragma once
#include "host/ewidget.h"
#include "news/RSSParser.h"
#include "ui/text_list.h"

class rssFeed : public eWindow {
public:
    rssFeed();
    ~rssFeed() override;
    // Parses the downloaded feed file and refills the list under `title`.
    void printRSSFeed(eString title);
    void selectedItem(eListBoxEntryText* entry);

private:
    TextList* list;
    RSSParser parser;
};
