// The statistics window: the server's counters under the logo.
#pragma once
#include "host/ewidget.h"

class rssStat : public eWindow {
public:
    rssStat();
    ~rssStat() override;
    // (the implementation adds its members and handlers)
};
