// A window the test plug-in runs modally inside its main window: a text
// field to type into and a button that closes it with 3.
#pragma once
#include "host/ewidget.h"

class NestedWindow : public eWindow {
public:
    NestedWindow();

private:
    void done();
};
