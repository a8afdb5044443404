#include "plugin/rssMain.h"
#include <ctime>
#include "about/rssAbout.h"
#include "community/downArea.h"
#include "community/download_target.h"
#include "community/eShowFile.h"
#include "community/endpoints.h"
#include "community/rssStat.h"
#include "news/rssFeed.h"
#include "settings/eSetConfig.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "ui/child_window.h"
#include "ui/logo.h"
#include "ui/status_label.h"

namespace {

// The texts of entries 1 to 7.
constexpr texts::Id entryTexts[rssMain::kEntries] = {
    texts::menuDownloadArea, texts::menuEnglishNews, texts::menuItalianNews, texts::menuStatistics,
    texts::menuShoutbox,     texts::menuSettings,    texts::menuAbout,
};

// The entries' buttons, one under the other, not sized by the skin.
constexpr int entryLeft = 35;
constexpr int entryTop = 108;  // of entry 0: entry 1 is one step lower
constexpr int entryStep = 32;
constexpr int entryWidth = 450;
constexpr int entryHeight = 30;

// The waiting text, under the buttons.
constexpr int statusTop = 360;
constexpr int statusHeight = 100;

}  // namespace

rssMain::rssMain() : eWindow(1) {
    std::timespec started{};
    std::timespec_get(&started, TIME_UTC);
    cmove(ePoint(100, 100));
    cresize(eSize(520, 400));
    // Before the first text: the texts depend on the language it loads.
    retrieveConfig();
    // A download killed with the plug-in left its temporary file there.
    downloads::removeLeftoverParts(CORDDIR, started);
    setText(LangT(texts::menuTitle, CORLANG));

    feedList = std::make_unique<rssFeed>();
    feedList->hide();
    busy = 0;

    for (int i = 1; i <= kEntries; ++i) {
        eButton* button = new eButton(this, nullptr, 1, "eButton");
        button->move(ePoint(entryLeft, entryTop + entryStep * i));
        button->resize(eSize(entryWidth, entryHeight));
        eString key;
        key.sprintf("%d", i);
        button->setShortcut(key);
        button->setShortcutPixmap(key);
        button->loadDeco();
        button->setText(LangT(entryTexts[i - 1], CORLANG));
        button->selected.connect(SigC::bind(SigC::slot(*this, &rssMain::selectedItem), i));
        buttons[i - 1] = button;
    }

    logo = new eLabel(this, 0, 0, "eLabel");
    showLogo(logo, paths::logo, ePoint(0, 0), eSize(bannerLogoWidth, bannerLogoHeight));

    fetcher.downloadFailed.connect(SigC::slot(*this, &rssMain::downloadFailed));
    setFocus(buttons[0]);
}

rssMain::~rssMain() = default;

void rssMain::backToMenu() {
    show();
    setFocus(buttons[0]);
}

void rssMain::selectedItem(int entry) {
    eButton* first = buttons[0];
    switch (entry) {
    case 1: runChildWindow<downArea>(*this, first); break;
    case 2: startNews(endpoints::englishFeed(), LangT(texts::englishFeedTitle, CORLANG)); break;
    case 3: startNews(endpoints::italianFeed(), LangT(texts::italianFeedTitle, CORLANG)); break;
    case 4: runChildWindow<rssStat>(*this, first); break;
    case 5: runChildWindow<eShowFile>(*this, first, LangT(texts::shoutboxTitle, CORLANG)); break;
    case 6: runChildWindow<eSetConfig>(*this, first, LangT(texts::settingsTitle, CORLANG)); break;
    case 7: runChildWindow<rssAbout>(*this, first); break;
    default: break;
    }
}

void rssMain::showStatus() {
    if (!status) {
        status = addStatusLabel(this, statusTop, statusHeight);
        status->setText(LangT(texts::waitConnecting, CORLANG));
    }
    status->show();
}

void rssMain::startNews(const eString& url, const eString& title) {
    showStatus();
    if (busy) return;  // a download is already running
    busy = 1;
    fetcher.downloadDone.connect(SigC::slot(*this, &rssMain::downloadDone));
    guard = 0;
    pendingTitle = title;
    fetcher.fetch(url, paths::feedFile);
}

void rssMain::downloadDone(int) {
    status->hide();
    // Every connection made by earlier downloads delivers the signal; only
    // the first call after a start acts.
    if (guard) return;
    guard = 1;
    hide();
    feedList->printRSSFeed(pendingTitle);
    runModal(*feedList);
    backToMenu();
    busy = 0;
}

void rssMain::downloadFailed(int) {
    if (status) status->hide();
    busy = 0;
}
