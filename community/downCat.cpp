#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

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
