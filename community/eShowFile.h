// The shoutbox window: the latest shouts, and posting one.
#pragma once
#include "host/ewidget.h"

class eShowFile : public eWindow {
public:
    explicit eShowFile(eString title);
    ~eShowFile() override;
    // (the implementation adds its members and handlers)
};
