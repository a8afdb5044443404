#include "community/downArea.h"
#include "community/downCat.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"

downArea::downArea() : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 400));
    setText(LangT(39, CORLANG));
    eSize client = getClientSize();

    list = new eListBox<eListBoxEntryText>(this, nullptr, 1, eListBoxEntryText::getEntryHeight(),
                                           "eListBox");
    list->move(ePoint(4, 4));
    list->resize(eSize(client.w - 4, client.h - 160));
    list->loadDeco();
    list->setColumns(1);
    list->beginAtomic();
    list->clearList();
    static const char* const categories[] = {"Cam", "Keys", "Plugins", "Script", "Settings", "Skins"};
    int key = 1;
    for (const char* name : categories)
        new eListBoxEntryText(list, name, key++, 0, eString());  // owned by the list
    list->endAtomic();

    statusLabel = new eLabel(this);
    statusLabel->move(ePoint(10, 300));
    statusLabel->resize(eSize(client.w - 20, 100));
    statusLabel->loadDeco();

    setFocus(list);
    list->selected.connect(SigC::slot(*this, &downArea::selectedItem));
    // Connected once, so one completion opens the file list once.
    fetcher.downloadDone.connect(SigC::slot(*this, &downArea::downAreaDone));
}

downArea::~downArea() = default;

void downArea::selectedItem(eListBoxEntryText* item) {
    if (!item) {  // the user left the list
        reject();
        return;
    }
    eString category = item->getText();
    statusLabel->setText(LangT(23, CORLANG));
    statusLabel->show();
    if (busy) return;
    busy = 1;
    eString url = endpoints::category(category);
    categoryName = category;
    guard = 0;
    fetcher.fetch(url, paths::feedFile);
}

void downArea::downAreaDone(int) {
    statusLabel->hide();
    if (guard) return;
    guard = 1;
    hide();
    {
        downCat files(categoryName.c_str());
        files.show();
        files.exec();
        files.hide();
    }
    show();
    setFocus(list);
    busy = 0;
}
