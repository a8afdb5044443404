// The details of one file of the download area, and its download.
#pragma once
#include <optional>
#include "community/FileDetail.h"
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/page_scroller.h"

class eShowDownFile : public eWindow {
public:
    explicit eShowDownFile(const char* title);
    ~eShowDownFile() override;

    void retrieveFile();       // Download
    void FileDownDone(int error);
    void FileDownFailed(int error);
    void updateScrollbar();
    int eventHandler(const eWidgetEvent& event) override;

private:
    void showText(const eString& text);  // from the top, scroll range recomputed

    eLabel* detailLabel;
    eWidget* visible;
    eProgress* scrollbar;
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
    int pageHeight = 0;
    std::optional<PageScroller> scroller;  // holds the scroll range
    eString fileName;    // as read, line feed included
    eString detailText;  // shown again after a failed download
};
