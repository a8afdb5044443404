#include "demo-server/http_server.h"

#include "demo-server/faults.h"
#include "demo-server/query.h"

namespace demo {

namespace {

// Stalled answers each hold a worker; leave room for ordinary requests.
constexpr size_t workerThreads = 32;

}  // namespace

HttpServer::HttpServer(const Options& options, Site& site, RequestLog& log)
    : options(options), site(site), log(log) {
    http.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // Idle keep-alive connections must not hold up a shutdown for long.
    http.set_keep_alive_timeout(1);
    // The server decides by path and op itself; the Host header is ignored.
    http.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, response);
    });
}

int HttpServer::bind() {
    if (options.port == 0) return http.bind_to_any_port("127.0.0.1");
    return http.bind_to_port("127.0.0.1", options.port) ? options.port : -1;
}

bool HttpServer::run() { return http.listen_after_bind(); }

void HttpServer::stop() {
    stopSignal.stop();
    http.stop();
}

void HttpServer::handle(const httplib::Request& request, httplib::Response& response) {
    log.request(request.method, request.target, request.version, request.get_header_value("User-Agent"));
    Query query(queryOf(request.target));
    const bool faulty = faultApplies(options, faultKey(request.path, query.get("op")));
    if (faulty && options.delayMs > 0 && !stopSignal.sleepFor(std::chrono::milliseconds(options.delayMs))) {
        sendReply(errorReply(503, "Shutting down."), response);
        return;
    }
    if (!faulty) {
        sendReply(site.answer(request.path, query), response);
        return;
    }
    // A fault that answers in the site's place leaves its state (shouts,
    // counters) alone, as a failing server would.
    Reply reply = faultUsesReply(options.fault) ? site.answer(request.path, query) : Reply{};
    sendFault(options, reply, stopSignal, response);
}

}  // namespace demo
