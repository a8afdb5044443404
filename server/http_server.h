// The HTTP side: listens on the configured address, logs each request,
// answers it from the site, bent by a test-only fault where one is set.
#pragma once
#include <httplib.h>

#include "server/options.h"
#include "server/request_log.h"
#include "server/site.h"
#include "server/stop_signal.h"

namespace srv {

class HttpServer {
public:
    HttpServer(const Options& options, Site& site, RequestLog& log);
    // The port bound, or -1.
    int bind();
    // Serves until stop(); false if serving failed.
    bool run();
    // From any thread. Requests being answered are finished first.
    void stop();

private:
    void handle(const httplib::Request& request, httplib::Response& response);

    const Options& options;
    Site& site;
    RequestLog& log;
    StopSignal stopSignal;
    httplib::Server http;
};

}  // namespace srv
