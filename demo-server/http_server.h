// The HTTP side: binds to loopback, logs each request, answers it from
// the site, bent by the configured fault where it applies.
#pragma once
#include <httplib.h>

#include "demo-server/options.h"
#include "demo-server/request_log.h"
#include "demo-server/site.h"
#include "demo-server/stop_signal.h"

namespace demo {

class HttpServer {
public:
    HttpServer(const Options& options, Site& site, RequestLog& log);
    // The port bound on 127.0.0.1, or -1.
    int bind();
    // Serves until stop(); false if serving failed.
    bool run();
    // From any thread.
    void stop();

private:
    void handle(const httplib::Request& request, httplib::Response& response);

    const Options& options;
    Site& site;
    RequestLog& log;
    StopSignal stopSignal;
    httplib::Server http;
};

}  // namespace demo
