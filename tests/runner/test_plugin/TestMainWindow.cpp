#include "TestMainWindow.h"
#include <cstdio>
#include "NestedWindow.h"
#include "host/ehttp.h"

namespace {

// Where "Fetch" downloads; a lumenhost --connect-to maps it to the test server.
const char kFetchUrl[] = "http://runner-test.example:8080/hello";
const char kFetchFile[] = "/var/tmp/runner-fetch.tmp";

eButton* addButton(eWidget* parent, int row, const char* text, const char* key) {
    auto* button = new eButton(parent);
    button->move(ePoint(20, 20 + 40 * row));
    button->resize(eSize(300, 32));
    button->setText(text);
    button->setShortcut(key);
    return button;
}

}  // namespace

TestMainWindow::TestMainWindow() : eWindow(1) {
    setText("Runner test");
    cmove(ePoint(150, 100));
    cresize(eSize(420, 320));
    auto* nested = addButton(this, 0, "Open nested", "1");
    nested->selected.connect(SigC::slot(*this, &TestMainWindow::openNested));
    addButton(this, 1, "Show message", "2")->selected.connect(SigC::slot(*this, &TestMainWindow::showMessage));
    addButton(this, 2, "Write file", "3")->selected.connect(SigC::slot(*this, &TestMainWindow::writeFile));
    addButton(this, 3, "Fetch", "4")->selected.connect(SigC::slot(*this, &TestMainWindow::fetch));
    addButton(this, 4, "Quit with 7", "5")->selected.connect(SigC::slot(*this, &TestMainWindow::quit));
    addButton(this, 5, "Fetch and report", "6")
        ->selected.connect(SigC::slot(*this, &TestMainWindow::fetchAndReport));
    status = new eLabel(this);
    status->move(ePoint(20, 270));
    status->resize(eSize(380, 30));
    status->setText("Ready");
    setFocus(nested);
}

void TestMainWindow::openNested() {
    hide();
    {
        NestedWindow window;
        window.show();
        int result = window.exec();
        window.hide();
        eString text;
        text.sprintf("Nested closed with %d", result);
        status->setText(text);
    }
    show();
}

void TestMainWindow::showMessage() {
    eMessageBox box("Hello from the test plug-in", "Test message", eMessageBox::btOK | eMessageBox::iconWarning,
                    eMessageBox::btOK);
    box.show();
    int result = box.exec();
    box.hide();
    eString text;
    text.sprintf("Message closed with %d", result);
    status->setText(text);
}

void TestMainWindow::writeFile() {
    FILE* file = fopen("/var/tmp/runner-test.tmp", "w");
    if (file) {
        fputs("written by the test plug-in\n", file);
        fclose(file);
    }
    status->setText(file ? "File written" : "File not written");
}

void TestMainWindow::fetch() { startFetch(SigC::slot(*this, &TestMainWindow::fetchDone)); }

void TestMainWindow::fetchAndReport() { startFetch(SigC::slot(*this, &TestMainWindow::reportDone)); }

template <class Slot>
void TestMainWindow::startFetch(Slot done) {
    int error = 0;
    eHTTPConnection* connection = eHTTPConnection::doRequest(kFetchUrl, eApp, &error);
    if (!connection) {
        status->setText("Fetch refused");
        return;
    }
    connection->createDataSink.connect([](eHTTPConnection* c) -> eHTTPDataSource* {
        return new eHTTPDownload(c, kFetchFile);
    });
    connection->transferDone.connect(done);
    status->setText("Fetching");
    connection->start();
}

void TestMainWindow::fetchDone(int code) {
    eString text;
    char line[128] = "";
    FILE* file = code == 0 ? fopen(kFetchFile, "r") : nullptr;
    if (file) {
        if (!fgets(line, sizeof line, file)) line[0] = '\0';
        fclose(file);
    }
    text.sprintf("Fetched %d: %s", code, line);
    status->setText(text);
}

// As the plug-in's windows do: the result is shown modally from inside the
// completion handler.
void TestMainWindow::reportDone(int code) {
    fetchDone(code);
    eMessageBox box(status->getText(), "Fetch report", eMessageBox::btOK, eMessageBox::btOK);
    box.show();
    box.exec();
    box.hide();
}

void TestMainWindow::quit() { close(7); }
