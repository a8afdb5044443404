#include "news/rssFeed.h"
#include "news/rssDetail.h"
#include "settings/paths.h"
#include "ui/child_window.h"

namespace {
constexpr int listShortBy = 4;  // the list fills the window
}

rssFeed::rssFeed() : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 450));
    setText("Feed");

    list = addTextList(this, listShortBy);

    setFocus(list);
    list->selected.connect(SigC::slot(*this, &rssFeed::selectedItem));
}

rssFeed::~rssFeed() = default;

void rssFeed::printRSSFeed(eString title) {
    parser.parse(paths::feedFile);
    setFocus(list);
    setText(title);
    std::vector<TextListEntry> entries;
    for (const NewsItem& item : parser.items) entries.push_back({item.title, item.index});
    setTextListEntries(list, entries);
}

void rssFeed::selectedItem(eListBoxEntryText* entry) {
    if (!entry) {
        reject();
        return;
    }
    NewsItem chosen;
    for (const NewsItem& item : parser.items) {
        if (item.index == entry->getKey()) {
            chosen = item;
            break;
        }
    }
    rssDetail detail(chosen.title.c_str(), chosen.description.c_str(), chosen.date.c_str(),
                     chosen.link.c_str());
    runModal(detail);  // over the list, which stays shown
}
