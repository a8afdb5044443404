#include "plugin/rssMain.h"
#include <ctime>
#include "ui/logo.h"
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

namespace {

// Runs a sub-window modally; the caller hides and shows the menu.
void runModal(eWidget& window) {
    window.show();
    window.exec();
    window.hide();
}

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
    eString texts[8];
    for (int i = 0; i < 8; ++i) texts[i] = LangT(15 + i, CORLANG);
    setText(texts[0]);

    feedList = std::make_unique<rssFeed>();
    feedList->hide();
    busy = 0;

    for (int i = 1; i <= kEntries; ++i) {
        eButton* button = new eButton(this, nullptr, 1, "eButton");
        button->move(ePoint(35, 108 + 32 * i));
        button->resize(eSize(450, 30));
        eString key;
        key.sprintf("%d", i);
        button->setShortcut(key);
        button->setShortcutPixmap(key);
        button->loadDeco();
        button->setText(texts[i]);
        button->selected.connect(SigC::bind(SigC::slot(*this, &rssMain::selectedItem), i));
        buttons[i - 1] = button;
    }

    logo = new eLabel(this, 0, 0, "eLabel");
    showLogo(logo, paths::logo, ePoint(0, 0), eSize(520, 125));

    fetcher.downloadFailed.connect(SigC::slot(*this, &rssMain::downloadFailed));
    setFocus(buttons[0]);
}

rssMain::~rssMain() = default;

void rssMain::backToMenu() {
    show();
    setFocus(buttons[0]);
}

void rssMain::selectedItem(int entry) {
    eString texts[5];
    for (int i = 0; i < 5; ++i) texts[i] = LangT(23 + i, CORLANG);

    switch (entry) {
    case 1: {
        hide();
        downArea window;
        runModal(window);
        backToMenu();
        break;
    }
    case 2:
        startNews(endpoints::englishFeed(), texts[1]);
        break;
    case 3:
        startNews(endpoints::italianFeed(), texts[2]);
        break;
    case 4: {
        hide();
        rssStat window;
        runModal(window);
        backToMenu();
        break;
    }
    case 5: {
        hide();
        eShowFile window(texts[3]);
        runModal(window);
        backToMenu();
        break;
    }
    case 6: {
        hide();
        eSetConfig window(texts[4]);
        runModal(window);
        backToMenu();
        break;
    }
    case 7: {
        hide();
        rssAbout window;
        runModal(window);
        backToMenu();
        break;
    }
    default:
        break;
    }
}

void rssMain::showStatus() {
    if (!status) {
        status = new eLabel(this, 0, 0, "eLabel");
        status->setText(LangT(23, CORLANG));
        status->move(ePoint(10, 360));
        status->resize(eSize(getClientSize().width() - 20, 100));
        status->loadDeco();
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
