#include "community/downArea.h"
#include "community/downCat.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/child_window.h"
#include "ui/status_label.h"

namespace {
constexpr int listShortBy = 160;  // room for the status line
constexpr int statusTop = 300;
constexpr int statusHeight = 100;
}  // namespace

downArea::downArea() : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 400));
    setText(LangT(texts::downloadAreaTitle, CORLANG));

    list = addTextList(this, listShortBy);
    // The server's categories; a category is asked for by its name.
    setTextListEntries(list, {{"Cam", 1}, {"Keys", 2}, {"Plugins", 3}, {"Script", 4}, {"Settings", 5}, {"Skins", 6}});
    statusLabel = addStatusLabel(this, statusTop, statusHeight);

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
    statusLabel->setText(LangT(texts::waitConnecting, CORLANG));
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
    runChildWindow<downCat>(*this, list, categoryName.c_str());
    busy = 0;
}
