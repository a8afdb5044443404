// The main menu: logo, title and seven entries. Opens the sub-windows and
// downloads the two news feeds into the feed list window.
#pragma once
#include <memory>
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "news/ConfigParser.h"

class rssFeed;

class rssMain : public eWindow {
public:
    rssMain();
    ~rssMain() override;
    void selectedItem(int entry);
    void downloadDone(int code);
    // The fetcher has shown its failure box: leave the waiting state so the
    // news entries work again.
    void downloadFailed(int code);

    static constexpr int kEntries = 7;

private:
    eButton* buttons[kEntries];
    eLabel* status = nullptr;  // created on the first news download
    eLabel* logo;
    ConfigParser configParser;
    Fetcher fetcher;
    std::unique_ptr<rssFeed> feedList;
    int guard = 0;
    int busy = 0;
    eString pendingTitle;

    void showStatus();
    void startNews(const eString& url, const eString& title);
    void backToMenu();
};
