// The statistics window: the server's counters under the logo.
#pragma once
#include "host/ewidget.h"
#include "net/fetcher.h"

class rssStat : public eWindow {
public:
    rssStat();
    ~rssStat() override;

    void retrieveStat();
    void statDownDone(int);

private:
    eLabel* statLabel;
    eLabel* logoLabel;
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
};
