#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "community/endpoints.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/child_window.h"
#include "ui/status_label.h"

namespace {
constexpr int listShortBy = 60;  // room for the status line
constexpr int statusTop = 370;
constexpr int statusHeight = 60;
}  // namespace

downCat::downCat(const char* category) : eWindow(1) {
    move(ePoint(70, 60));
    resize(eSize(595, 460));
    setText(category);

    list = addTextList(this, listShortBy);
    std::vector<TextListEntry> entries;
    for (CategoryEntry& entry : loadCategoryReply()) entries.push_back({std::move(entry.title), entry.id});
    setTextListEntries(list, entries);
    setFocus(list);
    list->selected.connect(SigC::slot(*this, &downCat::selectedItem));

    statusLabel = addStatusLabel(this, statusTop, statusHeight);

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
    statusLabel->setText(LangT(texts::waitConnecting, CORLANG));
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
    runChildWindow<eShowDownFile>(*this, list, fileTitle.c_str());
    busy = 0;
}
