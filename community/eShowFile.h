// The shoutbox window: the latest shouts, and posting one.
#pragma once
#include <optional>
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/page_scroller.h"

class eShowFile : public eWindow {
public:
    explicit eShowFile(eString title);
    ~eShowFile() override;

    void retrieveShout();      // Refresh
    void sendShout();          // Send Shout
    void shoutDownDone(int);   // the list arrived
    void shoutDownSend(int);   // the post arrived
    void updateScrollbar();
    int eventHandler(const eWidgetEvent& event) override;
    eTextInputField* inputField() { return input; }  // the shout being typed

private:
    void showText(const eString& text);  // from the top, scroll range recomputed

    eLabel* shoutLabel;
    eWidget* visible;
    eProgress* scrollbar;
    eTextInputField* input;
    eString empty;
    Fetcher listFetcher;
    Fetcher sendFetcher;
    int guard = 0;
    int busy = 0;
    int pageHeight = 0;
    std::optional<PageScroller> scroller;  // holds the scroll range
};
