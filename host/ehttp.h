// The host's asynchronous HTTP client.
//
// Ownership: a connection returned by doRequest belongs to the host. It
// deletes itself, with its data sink, after it has emitted transferDone
// (from the main loop, never from inside a network callback). A connection
// that is never started is deleted with the main loop. A started one whose
// transferDone has no slot left (the trackable object behind it died) is
// aborted from the main loop and deleted without emitting anything: its
// socket closed, the temporary file of its download removed.
#pragma once
#include <map>
#include "emainloop.h"
#include "estring.h"
#include "host_api.h"
#include "sigc_compat.h"

// Where the body of a response goes. Owned by the connection that asked
// for it.
class HOST_API eHTTPDataSource {
public:
    virtual ~eHTTPDataSource() = default;
    virtual void haveData(const void* data, int length) = 0;
    // Called once when the transfer ends; code as in transferDone.
    virtual void finished(int code) { (void)code; }
};

class HOST_API eHTTPConnection {
public:
    // Error codes, in one place. 0 is success: the final reply (after
    // redirects) was a 200 and its whole body arrived. Positive: the final
    // reply's HTTP status, any other than 200 (304, 204, a 3xx without
    // Location, 399, 404, 503, ...); its body is not stored. Negative: a
    // failure of the client or the network.
    enum Error {
        errorNone = 0,
        errorBadUrl = -1,         // not an http:// or https:// URL, or unparsable (doRequest)
        errorConnect = -2,        // could not connect (refused, unreachable, DNS)
        errorTimeout = -3,        // connect took over 10 s, or nothing received for 30 s
        errorTransfer = -4,       // connection dropped, body cut short, broken reply (a header
                                  // line over 100 KB, a NUL or a negative length in a header,
                                  // an interim 1xx and no final status)
        errorTooManyRedirects = -5, // more than 5 redirects
        errorRedirectRefused = -6, // a redirect to a scheme other than http/https
        errorSink = -7,           // the data sink could not write the body (disk full, read-only)
        errorInternal = -8,       // the client itself failed before the request went out
        errorTooLarge = -9,       // the body passed the reply size limit (64 MiB unless set)
        errorNotHttp = -10,       // the server's reply is not HTTP at all (no status line)
        errorTls = -11,           // the TLS handshake failed or did not finish in time
        errorNameTooLong = -12,   // the target file's name is too long for the file system
    };
    // Prepares a GET of `url` on `mainloop`. Returns the connection, or
    // nullptr with *error set when the URL cannot be requested.
    static eHTTPConnection* doRequest(const char* url, eMainloop* mainloop, int* error);

    // Starts the transfer; the result arrives through transferDone.
    virtual void start() = 0;

    std::map<eString, eString> local_header;  // request headers to send

    // Emitted once before the body arrives; the handler returns the sink
    // (the connection takes ownership).
    SigC::Signal1<eHTTPDataSource*, eHTTPConnection*> createDataSink;
    // Emitted once, from the main loop, when the transfer has ended.
    SigC::Signal1<void, int> transferDone;

protected:
    eHTTPConnection() = default;
    virtual ~eHTTPConnection() = default;
};

// The sink that stores a body in a file. It writes to a temporary file
// beside the target (TARGET.part-PID-N) and renames it over the target only
// when the transfer succeeded: a failed transfer leaves the target as it
// was. A killed process leaves its temporary files behind.
class HOST_API eHTTPDownload : public eHTTPDataSource {
public:
    // What the temporary file's name adds to the target's, before PID-N.
    static constexpr const char* partialMarker = ".part-";

    eHTTPDownload(eHTTPConnection* connection, const char* filename);
    ~eHTTPDownload() override;
    void haveData(const void* data, int length) override;
    void finished(int code) override;
    // The body could not be stored: the temporary file could not be
    // created or written, or (after finished(0)) not put in place.
    bool failed() const { return writeFailed; }
    // Why: eHTTPConnection::errorNameTooLong or errorSink; errorNone while
    // nothing failed.
    int failureCode() const;
private:
    void fail(int error);  // drops the temporary file
    eString target, temporary;
    int fd = -1;
    bool writeFailed = false;
    int failureErrno = 0;
};
