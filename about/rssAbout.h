// The about window: the second logo, the authors' credit and the version.
#pragma once
#include "host/ewidget.h"

class rssAbout : public eWindow {
public:
    rssAbout();
    ~rssAbout() override;

private:
    eLabel* credit;
    eLabel* version;
    eLabel* logo;
};
