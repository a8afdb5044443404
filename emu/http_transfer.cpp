#include "emu/http_transfer.h"
#include <strings.h>
#include <cstring>
#include "emu/http_multi.h"
#include "emu/mainloop.h"

namespace {

// Only absolute http:// and https:// URLs with a host are requested.
bool requestable(const char* url) {
    CURLU* parsed = curl_url();
    if (!parsed) return false;
    bool ok = false;
    if (curl_url_set(parsed, CURLUPART_URL, url, 0) == CURLUE_OK) {
        char* scheme = nullptr;
        char* host = nullptr;
        if (curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
            ok = (!strcmp(scheme, "http") || !strcmp(scheme, "https")) && *host;
        }
        curl_free(scheme);
        curl_free(host);
    }
    curl_url_cleanup(parsed);
    return ok;
}

// A header line must not smuggle in further lines.
bool safeHeader(const std::string& key, const std::string& value) {
    if (key.empty() || key.find_first_of("\r\n: ") != std::string::npos) return false;
    return value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

eHTTPConnection* eHTTPConnection::doRequest(const char* url, eMainloop*, int* error) {
    int ignored = 0;
    if (!error) error = &ignored;
    *error = errorNone;
    // The emulated host has one loop, mainloop() (eApp points at it), so the
    // loop argument only completes the host's signature.
    if (!url || !requestable(url)) {
        *error = errorBadUrl;
        return nullptr;
    }
    HttpMulti& multi = HttpMulti::instance();
    auto transfer = std::make_unique<HttpTransfer>(url);
    if (!transfer->handle()) {
        *error = errorInternal;
        return nullptr;
    }
    return multi.adopt(std::move(transfer));
}

HttpTransfer::HttpTransfer(const std::string& url) : url(url), easy(curl_easy_init()) {
    if (!easy) return;
    curl_easy_setopt(easy, CURLOPT_URL, this->url.c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, reinterpret_cast<char*>(this));
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Redirects may not lead to file://, ftp:// and the like.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    // The box talks to its server directly; a proxy in the developer's
    // environment would also defeat the runner's connect-to mapping.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    // Tells a handshake that never finishes from a server that never answers.
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &HttpTransfer::onTlsStart);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, this);
}

HttpTransfer::~HttpTransfer() {
    stopStallTimer();
    sink.reset();  // an unfinished download removes its temporary file
    if (easy) curl_easy_cleanup(easy);
    curl_slist_free_all(headerList);
    curl_slist_free_all(connectToList);
}

void HttpTransfer::start() {
    if (started || !easy) return;
    started = true;
    mainloop().addBusy();  // until transferDone has been emitted

    for (const auto& [key, value] : local_header) {
        if (!safeHeader(key, value)) continue;
        // "Key;" is libcurl's way of sending a header with an empty value.
        std::string line = value.empty() ? key + ";" : key + ": " + value;
        if (curl_slist* grown = curl_slist_append(headerList, line.c_str())) headerList = grown;
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);

    const HttpOptions& options = HttpMulti::options();
    if (!options.connectTo.empty()) {
        connectToList = curl_slist_append(nullptr, options.connectTo.c_str());
        curl_easy_setopt(easy, CURLOPT_CONNECT_TO, connectToList);
    }
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    // A reply that stops dead: our timer. A trickle of less than a byte a
    // second: libcurl's check.
    stallLimit = std::chrono::seconds(options.stallSeconds);
    noteActivity();
    armStallTimer(stallLimit);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
    // Refused up front when the length is announced; counted in onWrite
    // when it is not.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, options.maxReplyBytes);

    if (!HttpMulti::instance().add(easy)) emitDone(errorInternal);
}

size_t HttpTransfer::onHeader(char* data, size_t size, size_t count, void* self) {
    auto* me = static_cast<HttpTransfer*>(self);
    size_t length = size * count;
    me->noteActivity();
    if (length >= 5 && !strncmp(data, "HTTP/", 5)) {
        // A new response: after a redirect or an interim 1xx.
        me->sawStatusLine = true;
        me->sawLocation = false;
        me->tlsPending = false;
        me->body = Body::Pending;
    } else if (length >= 9 && !strncasecmp(data, "location:", 9)) {
        me->sawLocation = true;
    } else if ((length == 2 && data[0] == '\r' && data[1] == '\n') || (length == 1 && data[0] == '\n')) {
        if (!me->headersComplete()) return 0;  // aborts the transfer
    }
    return length;
}

// Only a 200 is the document asked for. A redirect's body is dropped (if
// libcurl does not follow it, the transfer ends with its status); any other
// status ends the transfer before a sink exists, so no file is touched.
bool HttpTransfer::headersComplete() {
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 100 && status < 200) return true;  // interim; the real response follows
    if (status == 200) {
        body = Body::Store;
        return ensureSink();
    }
    if (status >= 300 && status < 400 && sawLocation) {
        body = Body::Discard;
        return true;
    }
    refusedStatus = status > 0 ? status : long{errorTransfer};
    return false;
}

size_t HttpTransfer::onWrite(char* data, size_t size, size_t count, void* self) {
    auto* me = static_cast<HttpTransfer*>(self);
    size_t length = size * count;
    me->noteActivity();
    if (me->body == Body::Discard) return length;
    me->body = Body::Store;
    me->bodyBytes += static_cast<curl_off_t>(length);
    if (me->bodyBytes > HttpMulti::options().maxReplyBytes) {
        me->tooLarge = true;
        return 0;
    }
    if (!me->ensureSink()) return 0;
    if (me->sink) {
        me->sink->haveData(data, static_cast<int>(length));
        if (me->sinkFailed()) return 0;
    }
    return length;
}

bool HttpTransfer::ensureSink() {
    if (!sinkRequested) {
        sinkRequested = true;
        sink.reset(createDataSink(this));  // nullptr when nobody listens
    }
    return !sinkFailed();
}

bool HttpTransfer::requestSent() const {
    long bytes = 0;
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &bytes);
    return bytes > 0;
}

int HttpTransfer::sinkCode() const {
    auto* download = dynamic_cast<eHTTPDownload*>(sink.get());
    return download ? download->failureCode() : errorNone;
}

int HttpTransfer::codeFor(CURLcode result) const {
    if (refusedStatus) return static_cast<int>(refusedStatus);
    if (tooLarge) return errorTooLarge;
    switch (result) {
    case CURLE_OK: {
        // A redirect that libcurl did not follow ends here with its status.
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (status == 200) return errorNone;
        return status > 0 ? static_cast<int>(status) : errorTransfer;
    }
    case CURLE_URL_MALFORMAT:
        return errorBadUrl;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return tlsPending ? errorTls : errorConnect;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_INITFAILED:
        return errorTls;
    case CURLE_OPERATION_TIMEDOUT:
        return tlsPending ? errorTls : errorTimeout;
    case CURLE_TOO_MANY_REDIRECTS:
        return errorTooManyRedirects;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // The first URL was checked by doRequest: either a redirect led
        // elsewhere, or the reply had no HTTP status line at all.
        return sawLocation ? errorRedirectRefused : errorNotHttp;
    case CURLE_WEIRD_SERVER_REPLY:
        // After a status line: a header libcurl refused (a NUL, a negative
        // length), a broken reply rather than no HTTP at all.
        return sawStatusLine ? errorTransfer : errorNotHttp;
    case CURLE_FILESIZE_EXCEEDED:
        return errorTooLarge;
    case CURLE_WRITE_ERROR:
        return sinkFailed() ? sinkCode() : errorSink;
    case CURLE_OUT_OF_MEMORY:
        // Once the request is out, this is libcurl refusing a header line
        // past its limit (100 KB): the reply's fault, not the client's.
        return requestSent() ? errorTransfer : errorInternal;
    case CURLE_FAILED_INIT:
        return errorInternal;
    default:
        return errorTransfer;
    }
}

// Called by libcurl once the TCP connection to an https:// address stands
// and the TLS handshake begins.
CURLcode HttpTransfer::onTlsStart(CURL*, void*, void* self) {
    static_cast<HttpTransfer*>(self)->tlsPending = true;
    return CURLE_OK;
}

void HttpTransfer::finish(CURLcode result) {
    int code = codeFor(result);
    // An empty body still replaces the target.
    if (code == errorNone && !ensureSink()) code = sinkCode();
    if (sink) {
        sink->finished(code);
        if (code == errorNone && sinkFailed()) code = sinkCode();  // e.g. the rename failed
    }
    emitDone(code);
}

void HttpTransfer::abandon() {
    ended = true;
    stopStallTimer();
    sink.reset();  // removes the temporary file
    mainloop().removeBusy();
}

void HttpTransfer::emitDone(int code) {
    ended = true;
    stopStallTimer();
    // Never from inside libcurl: the handlers run modal loops that drive it.
    mainloop().post([this, code] {
        // No longer in flight once its end is being reported: a wait for
        // quiet may end inside a handler that runs the next modal window.
        // It cannot end before the handler has run: this is one loop step.
        mainloop().removeBusy();
        transferDone(code);
        HttpMulti::instance().release(this);  // deletes this, and the sink
    });
}

void HttpTransfer::armStallTimer(std::chrono::milliseconds wait) {
    stallTimer = mainloop().addTimer(static_cast<int>(wait.count()), [this] { onStallTimer(); },
                                     false);  // a deadline, not work
}

void HttpTransfer::onStallTimer() {
    stallTimer = 0;
    auto quiet = std::chrono::steady_clock::now() - lastActivity;
    if (quiet < stallLimit) {
        armStallTimer(std::chrono::duration_cast<std::chrono::milliseconds>(stallLimit - quiet) +
                      std::chrono::milliseconds(1));
        return;
    }
    HttpMulti::instance().end(this, CURLE_OPERATION_TIMEDOUT);
}

void HttpTransfer::stopStallTimer() {
    if (stallTimer) mainloop().removeTimer(stallTimer);
    stallTimer = 0;
}
