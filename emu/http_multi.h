// The one libcurl multi handle of the emulated host, driven by mainloop():
// libcurl's sockets become loop watches and its timer a loop timer. No
// thread. Internal to emu/.
#pragma once
#include <curl/curl.h>
#include <map>
#include <memory>
#include <string>

class HttpTransfer;

// Client settings (emu/http_settings.h sets them).
struct HttpOptions {
    std::string connectTo;       // CURLOPT_CONNECT_TO entry, "" for none
    long connectTimeoutMs = 10000;
    long stallSeconds = 30;      // below 1 byte/s for this long: time-out
    curl_off_t maxReplyBytes = kDefaultMaxReplyBytes;  // larger bodies fail
    static constexpr curl_off_t kDefaultMaxReplyBytes = 64 * 1024 * 1024;
};

class HttpMulti {
public:
    static HttpMulti& instance();
    static HttpOptions& options();

    ~HttpMulti();
    HttpMulti(const HttpMulti&) = delete;
    HttpMulti& operator=(const HttpMulti&) = delete;

    // Transfers live here from doRequest until their transferDone has
    // been emitted (or until the process ends, if never started).
    HttpTransfer* adopt(std::unique_ptr<HttpTransfer> transfer);
    void release(HttpTransfer* transfer);  // deletes it

    // Adds the easy handle to the multi handle; false on failure.
    bool add(CURL* easy);
    // Takes a running transfer out of libcurl and finishes it with `result`,
    // as if libcurl had ended it. Not from inside a libcurl callback.
    void end(HttpTransfer* transfer, CURLcode result);

private:
    HttpMulti();
    static int onSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketData);
    static int onTimer(CURLM* multi, long timeoutMs, void* self);
    void act(curl_socket_t socket, int events);
    void collectFinished();
    bool dropAbandoned();  // idle hook; true when it dropped one

    CURLM* multi = nullptr;
    int timerId = 0;                   // 0: no timer pending
    int idleId = 0;
    std::map<curl_socket_t, int> watchIds;
    std::map<HttpTransfer*, std::unique_ptr<HttpTransfer>> transfers;
};
