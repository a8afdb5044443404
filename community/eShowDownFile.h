// The details of one file of the download area, and its download.
#pragma once
#include <cstdio>
#include <optional>
#include "host/ewidget.h"
#include "net/fetcher.h"
#include "ui/page_scroller.h"

// A detail reply: line 1 is the file name, the rest is laid out as text.
struct FileDetail {
    eString fileName;  // line 1 as read, line feed included
    eString text;
};

// Reads a detail reply in pieces of at most 2047 bytes and lays it out
// with the labels of language `lang`. Only the lines after the name that
// fit in replies::budgetBytes bytes are used.
FileDetail readFileDetail(FILE* reply, int lang);
// Reads /var/tmp/rss.tmp the same way and deletes it; empty when missing.
FileDetail loadFileDetail(int lang);

// Whether a server's file name (line feeds already removed) may become a
// file in the download directory: not empty, not "." or "..", no "/" or
// "\", no control byte.
bool usableDownloadName(const eString& name);

class eShowDownFile : public eWindow {
public:
    explicit eShowDownFile(const char* title);
    ~eShowDownFile() override;

    void retrieveFile();       // Download
    void FileDownDone(int error);
    void FileDownFailed(int error);
    void updateScrollbar();
    int eventHandler(const eWidgetEvent& event) override;

    // For tests.
    eLabel* textLabel() const { return detailLabel; }
    int scrollRange() const { return scroller->range(); }

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
