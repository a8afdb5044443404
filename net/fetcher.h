// Downloads one URL into one file and tells its owner when the file is
// complete. A failure is shown in a message box and signals no completion.
#pragma once
#include <memory>
#include "host/ehttp.h"
#include "host/estring.h"
#include "host/sigc_compat.h"

class Fetcher : public virtual SigC::Object {
public:
    Fetcher();
    virtual ~Fetcher();

    void fetch(eString url, eString file);
    void transferDone(int code);
    eHTTPDataSource* createDownloadSink(eHTTPConnection* connection);

    // Emitted with 0 once a transfer has ended successfully.
    SigC::Signal1<void, int> downloadDone;
    // Emitted with the code after a failure has been shown, so that a
    // window can leave its waiting state.
    SigC::Signal1<void, int> downloadFailed;

private:
    eString targetPath;
    eHTTPConnection* connection = nullptr;  // owned by the host
    eHTTPDataSource* dataSink = nullptr;    // owned by the connection
    // Cleared by the destructor; tells code after a modal box whether the
    // fetcher survived it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};
