// The news detail window: downloads one item's article page and shows it as
// text that scrolls by whole pages, with a bar that shows where.
#pragma once
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/page_scroller.h"

class rssDetail : public eWindow {
public:
    // The selected item's fields; only the link is used (it is downloaded).
    rssDetail(const char* title, const char* description, const char* date, const char* link);
    ~rssDetail() override;

    void Connect2(eString link);
    void downloadDone2(int code);
    void updateScrollbar();
    void handleUp();
    void handleDown();

    int eventHandler(const eWidgetEvent& event) override;
    void redrawWidget(gPainter* target, const eRect& area) override;

private:
    void fitTextLabel();

    eLabel* text;
    eLabel* area;
    PageScroller scroller{nullptr, nullptr, 0};  // set up once the area has its height
    Fetcher fetcher;
    int completed = 0;  // completion guard
    int busy = 0;
    eProgress* bar;
};
