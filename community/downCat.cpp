#include "community/downCat.h"
#include <unistd.h>
#include "community/eShowDownFile.h"
#include "community/endpoints.h"
#include "community/reply_file.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "text/decimal.h"
#include "text/text_cleaning.h"

std::vector<CategoryEntry> readCategoryReply(FILE* reply) {
    std::vector<CategoryEntry> entries;
    char buffer[256];
    bool wantId = true;
    int id = 0;
    while (entries.size() < community::maxCategoryEntries && std::fgets(buffer, sizeof buffer, reply)) {
        if (wantId) {
            id = readDecimal(buffer);  // a list key: 32 bits on every CPU
        } else {
            replace_sonderzeichen(buffer);
            entries.push_back(CategoryEntry{buffer, id});
        }
        wantId = !wantId;
    }
    return entries;
}

std::vector<CategoryEntry> loadCategoryReply() {
    std::vector<CategoryEntry> entries;
    if (replies::File reply = replies::open(paths::feedFile))
        entries = readCategoryReply(reply.get());
    unlink(paths::feedFile);
    return entries;
}

downCat::downCat(const char* category) : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 460));
    setText(category);
    eSize client = getClientSize();

    list = new eListBox<eListBoxEntryText>(this, nullptr, 1, eListBoxEntryText::getEntryHeight(),
                                           "eListBox");
    list->move(ePoint(4, 4));
    list->resize(eSize(client.w - 4, client.h - 60));
    list->loadDeco();
    list->setColumns(1);
    list->beginAtomic();
    list->clearList();
    for (const CategoryEntry& entry : loadCategoryReply())
        new eListBoxEntryText(list, entry.title, entry.id, 0, eString());  // owned by the list
    list->endAtomic();
    setFocus(list);
    list->selected.connect(SigC::slot(*this, &downCat::selectedItem));

    statusLabel = new eLabel(this);
    statusLabel->move(ePoint(10, 370));
    statusLabel->resize(eSize(client.w - 20, 60));
    statusLabel->loadDeco();

    // Connected once, so one completion opens the details once.
    fetcher.downloadDone.connect(SigC::slot(*this, &downCat::downCatDone));
}

downCat::~downCat() = default;

void downCat::selectedItem(eListBoxEntryText* item) {
    if (!item) {  // the user left the list
        reject();
        return;
    }
    int id = item->getKey();
    eString title = item->getText();
    statusLabel->setText(LangT(23, CORLANG));
    statusLabel->show();
    if (busy) return;
    busy = 1;
    eString url = endpoints::fileDetail(id);
    fileTitle = title;
    guard = 0;
    fetcher.fetch(url, paths::feedFile);
}

void downCat::downCatDone(int) {
    statusLabel->hide();
    if (guard) return;
    guard = 1;
    hide();
    {
        eShowDownFile detail(fileTitle.c_str());
        detail.show();
        detail.exec();
        detail.hide();
    }
    show();
    setFocus(list);
    busy = 0;
}
