// An HTTP server on 127.0.0.1 (a free port) for tests, running on its own
// threads while the object lives. Routes are scripted per path, or per
// path and query ("/index.php?op=x", which wins over the path); every
// request is recorded with its headers. Unknown paths answer 404.
#pragma once
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class LoopbackServer {
public:
    struct Request {
        std::string path;
        std::vector<std::pair<std::string, std::string>> headers;
        // The value of a header (name compared without case), "" if absent.
        std::string header(const std::string& name) const;
        bool hasHeader(const std::string& name) const;
    };

    LoopbackServer();
    ~LoopbackServer();  // wakes stalled responses, stops and joins
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return listenPort; }
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
        enum Kind { Body, Redirect, Drop, Stall, Junk } kind = Body;
        std::string body;
        std::string location;
        int status = 200;
        size_t sent = 0;
        bool closes = false;
    };
    void setRoute(const std::string& path, Route route);

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int listenPort = 0;

    mutable std::mutex lock;
    std::condition_variable wake;  // stalled responses wait on it
    bool stopping = false;
    std::map<std::string, Route> routes;
    std::vector<Request> log;
};
