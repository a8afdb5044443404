// The HTTP side: accepts connections on the configured address and serves
// them with a few event-loop threads (one per core); connections cost
// memory, not threads. Requests go to the site on a small worker pool.
// Boost.Beast stays inside http_server.cpp and http_connection.cpp.
#pragma once
#include <memory>
#include <string>

#include "server/http_limits.h"
#include "server/request_log.h"
#include "server/site.h"

namespace srv {

class HttpServer {
public:
    HttpServer(const HttpLimits& limits, Site& site, RequestLog& log);
    ~HttpServer();
    // The port bound, or -1 (`error` says why).
    int bind(const std::string& host, int port, std::string& error);
    // Serves until stop(); false if serving failed.
    bool run();
    // From any thread: stops accepting, closes waiting connections, lets
    // replies being made finish.
    void stop();

private:
    class Loop;
    std::unique_ptr<Loop> loop;
};

}  // namespace srv
