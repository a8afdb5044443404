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

    // For tests.
    eLabel* textLabel() const { return statLabel; }
    eLabel* logo() const { return logoLabel; }

private:
    eLabel* statLabel;
    eLabel* logoLabel;
    Fetcher fetcher;
    int guard = 0;
    int busy = 0;
};
