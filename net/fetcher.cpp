#include "net/fetcher.h"
#include "ui/message.h"

Fetcher::Fetcher() = default;

Fetcher::~Fetcher() { *alive = false; }

void Fetcher::fetch(eString url, eString file) {
    targetPath = file;
    int error = 0;
    connection = eHTTPConnection::doRequest(url.c_str(), eApp, &error);
    if (!connection || error) {
        connection = nullptr;
        eString code;
        code.sprintf("%d", error);
        std::shared_ptr<bool> stillAlive = alive;
        // No blank before the parenthesis: that is how the box reads.
        showMessage("Error downloading " + url + "(" + code + ")", tr("Details"), eMessageBox::btOK);
        if (*stillAlive) downloadFailed(error);
        return;
    }
    connection->transferDone.connect(SigC::slot(*this, &Fetcher::transferDone));
    connection->createDataSink.connect(SigC::slot(*this, &Fetcher::createDownloadSink));
    connection->local_header["User-Agent"] = "CORVANENEWS";
    connection->start();
}

eHTTPDataSource* Fetcher::createDownloadSink(eHTTPConnection* conn) {
    (void)conn;
    dataSink = new eHTTPDownload(connection, targetPath.c_str());  // owned by the connection
    return dataSink;
}

void Fetcher::transferDone(int code) {
    // The host deletes the connection and its sink after this call.
    connection = nullptr;
    dataSink = nullptr;
    if (code == 0) {
        downloadDone(0);
        return;
    }
    eString text;
    text.sprintf("Error %d", code);
    std::shared_ptr<bool> stillAlive = alive;
    showMessage(text, tr("User Abort"), warningBoxFlags);
    // The box ran a modal loop: the owner may be gone by now.
    if (*stillAlive) downloadFailed(code);
}
