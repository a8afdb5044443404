// An HTTP server on 127.0.0.1 (a free port) for tests, answering on its own
// thread while the object lives. Routes are scripted per path, or per path
// and query ("/index.php?op=x", which wins over the path); every request is
// recorded with its headers. Unknown paths answer 404. Every reply closes
// its connection.
#pragma once
#include <map>
#include <mutex>
#include <string>
#include <vector>
#include "tests/support/raw_server.h"

class LoopbackServer {
public:
    struct Request {
        std::string path;  // with the query
        std::vector<std::pair<std::string, std::string>> headers;
        // The value of a header (name compared without case), "" if absent.
        std::string header(const std::string& name) const;
        bool hasHeader(const std::string& name) const;
    };

    int port() const { return raw.port(); }
    // "http://127.0.0.1:PORT" + path
    std::string url(const std::string& path) const;

    // `body` with `status`.
    void serve(const std::string& path, const std::string& body, int status = 200);
    // An empty answer with `status` and a Location header.
    void redirect(const std::string& path, const std::string& location, int status = 302);
    // Declares body.size() as Content-Length, sends the first `sent` bytes,
    // then drops the connection.
    void dropAfter(const std::string& path, const std::string& body, size_t sent);
    // Sends the status line and headers (a length of `sent` + 100 bytes),
    // then `sent` bytes of the body, then nothing until the server stops.
    void stall(const std::string& path, size_t sent = 0);
    // `bytes` of junk (the same bytes every time) with status 200.
    void junk(const std::string& path, size_t bytes);
    // Stops listening once a request for `path` (an existing route) has
    // come: later connections are refused, as when the server goes away.
    void closeAfter(const std::string& path);

    std::vector<Request> requests() const;  // in arrival order
    size_t requestCount() const;

private:
    struct Route {
        RawReply reply;
        size_t junkBytes = 0;  // made when asked for: held here, they would count in a spawned child's peak memory
        bool closes = false;
    };
    std::optional<RawReply> answer(const std::string& received);
    void setRoute(const std::string& path, Route route);

    mutable std::mutex lock;
    std::map<std::string, Route> routes;
    std::vector<Request> log;
    RawServer raw{[this](const std::string& received) { return answer(received); }};  // last: it stops first
};
