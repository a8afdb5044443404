// One HTTP GET on libcurl: the connection object that doRequest hands out.
// Internal to emu/.
#pragma once
#include <curl/curl.h>
#include <chrono>
#include <memory>
#include "host/ehttp.h"

class HttpTransfer : public eHTTPConnection {
public:
    explicit HttpTransfer(const std::string& url);
    ~HttpTransfer() override;

    void start() override;
    CURL* handle() const { return easy; }

    // Called by HttpMulti once libcurl has finished with the handle (the
    // handle is already out of the multi handle). Not inside a libcurl call.
    void finish(CURLcode result);

    // Started, not yet ended, and its end would reach no one.
    bool abandoned() const { return started && !ended && transferDone.empty(); }
    // Drops an abandoned transfer without a word: the temporary file goes
    // with the sink. The caller removes the handle and deletes this.
    void abandon();

private:
    // What happens to the body of the response being received.
    enum class Body { Pending, Store, Discard };

    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onWrite(char* data, size_t size, size_t count, void* self);
    bool headersComplete();  // false aborts the transfer
    bool ensureSink();       // false when the sink cannot store anything
    bool sinkFailed() const { return sinkCode() != errorNone; }
    bool requestSent() const;
    int sinkCode() const;
    int codeFor(CURLcode result) const;
    static CURLcode onTlsStart(CURL* easy, void* sslContext, void* self);
    void emitDone(int code);
    // The stall time-out counts from the last byte received. libcurl's own
    // low-speed check averages over several seconds, so a reply that stops
    // dead would outlive the time-out by that much.
    void armStallTimer(std::chrono::milliseconds wait);
    void onStallTimer();
    void stopStallTimer();
    void noteActivity() { lastActivity = std::chrono::steady_clock::now(); }

    std::string url;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;   // alive until the handle is cleaned up
    curl_slist* connectToList = nullptr;
    std::unique_ptr<eHTTPDataSource> sink;
    bool sinkRequested = false;
    bool started = false;
    bool ended = false;                 // finish() or abandon() has run
    bool tooLarge = false;              // the body passed the size limit
    curl_off_t bodyBytes = 0;           // of the response being stored
    bool sawLocation = false;           // in the response being received
    bool sawStatusLine = false;         // an HTTP status line has arrived
    bool tlsPending = false;            // a TLS handshake began, no response yet
    long refusedStatus = 0;             // a final status other than 200
    int stallTimer = 0;                 // main-loop timer id, 0 when none
    std::chrono::seconds stallLimit{0};
    std::chrono::steady_clock::time_point lastActivity;
    Body body = Body::Pending;
};
