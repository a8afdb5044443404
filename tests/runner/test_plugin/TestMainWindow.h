// The test plug-in's main window: one button per thing the runner must
// handle (a nested modal window, a message box, a file below the box root,
// a transfer to wait for, a result code).
#pragma once
#include "host/ewidget.h"

class TestMainWindow : public eWindow {
public:
    TestMainWindow();

private:
    void openNested();
    void showMessage();
    void writeFile();
    void fetch();
    void fetchDone(int code);
    void fetchAndReport();
    template <class Slot>
    void startFetch(Slot done);
    void reportDone(int code);
    void quit();

    eLabel* status;
};
