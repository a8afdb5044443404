// The download area: six categories; a chosen one opens its file list.
#pragma once
#include "host/ewidget.h"

class downArea : public eWindow {
public:
    downArea();
    ~downArea() override;
    // (the implementation adds its members and handlers)
};
