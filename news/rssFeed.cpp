#include "news/rssFeed.h"
#include "news/rssDetail.h"
#include "settings/paths.h"

rssFeed::rssFeed() : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 450));
    setText("Feed");

    list = new eListBox<eListBoxEntryText>(this, nullptr, 1, eListBoxEntryText::getEntryHeight(),
                                           "eListBox");
    list->move(ePoint(4, 4));
    const eSize client = getClientSize();
    list->resize(eSize(client.width() - 4, client.height() - 4));
    list->loadDeco();
    list->setColumns(1);

    setFocus(list);
    list->selected.connect(SigC::slot(*this, &rssFeed::selectedItem));
}

rssFeed::~rssFeed() = default;

void rssFeed::printRSSFeed(eString title) {
    parser.parse(paths::feedFile);
    setFocus(list);
    setText(title);
    list->beginAtomic();
    list->clearList();
    // Each entry belongs to the list from its construction on.
    for (const NewsItem& item : parser.items)
        new eListBoxEntryText(list, item.title, item.index, 0, eString(), 0);
    list->endAtomic();
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
    detail.show();
    detail.exec();
    detail.hide();
}
