#include "server/http_server.h"

#include <cctype>

#include "server/faults.h"
#include "server/query.h"
#include "server/web/operator_sessions.h"

namespace srv {

namespace {

// Stalled answers each hold a worker; leave room for ordinary requests.
constexpr size_t workerThreads = 32;
// What a form may hold besides its file.
constexpr size_t formSlackBytes = 1024 * 1024;

// cpp-httplib takes multipart bodies apart itself; the site reads them
// whole, so the parts are put back together under a random boundary of
// ours, which no upload can foresee.
void joinMultipart(const httplib::Request& request, Request& asked) {
    const std::string boundary = "lumen-" + web::randomToken().substr(0, 40);
    auto quoted = [](std::string text) {
        for (size_t at = 0; (at = text.find_first_of("\"\r\n", at)) != std::string::npos;)
            text.replace(at, 1, text[at] == '"' ? "%22" : text[at] == '\r' ? "%0D" : "%0A");
        return "\"" + text + "\"";
    };
    asked.body.clear();
    for (const auto& [name, part] : request.files) {
        asked.body += "--" + boundary + "\r\nContent-Disposition: form-data; name=" + quoted(name);
        if (!part.filename.empty()) asked.body += "; filename=" + quoted(part.filename);
        asked.body += "\r\n\r\n" + part.content + "\r\n";
    }
    asked.body += "--" + boundary + "--\r\n";
    for (auto& header : asked.headers)
        if (header.first == "content-type") header.second = "multipart/form-data; boundary=" + boundary;
}

}  // namespace

HttpServer::HttpServer(const Options& options, Site& site, RequestLog& log)
    : options(options), site(site), log(log) {
    http.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // Headers and body go out in separate writes: without this, Nagle's
    // algorithm and delayed acks hold each small reply back ~40 ms.
    http.set_tcp_nodelay(true);
    http.set_keep_alive_max_count(10000);
    // Idle keep-alive connections must not hold up a shutdown for long.
    http.set_keep_alive_timeout(1);
    // The server decides by path and op itself; the Host header is ignored.
    http.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, response);
    });
    // The web pages' forms; an upload may be as large as the option allows,
    // plus room for the form's other fields.
    http.set_payload_max_length(options.uploadMaxBytes + formSlackBytes);
    http.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, response);
    });
}

int HttpServer::bind() {
    if (options.port == 0) return http.bind_to_any_port(options.host);
    return http.bind_to_port(options.host, options.port) ? options.port : -1;
}

bool HttpServer::run() { return http.listen_after_bind(); }

void HttpServer::stop() {
    stopSignal.stop();
    http.stop();
}

void HttpServer::handle(const httplib::Request& request, httplib::Response& response) {
    const std::string userAgent = request.get_header_value("User-Agent");
    log.request(request.remote_addr, request.method, request.target, request.version, userAgent);
    Request asked;
    asked.path = request.path;
    asked.query = Query(queryOf(request.target));
    asked.address = request.remote_addr;
    asked.userAgent = userAgent;
    asked.method = request.method;
    asked.body = request.body;
    for (const auto& [name, value] : request.headers) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        asked.headers.emplace_back(std::move(lower), value);
    }
    if (request.is_multipart_form_data()) joinMultipart(request, asked);
    const bool faulty = faultApplies(options, faultKey(request.path, asked.query.get("op")));
    if (faulty && options.delayMs > 0 && !stopSignal.sleepFor(std::chrono::milliseconds(options.delayMs))) {
        sendReply(errorReply(503, "Shutting down."), site, response);
        return;
    }
    if (!faulty || options.fault == Fault::None) {
        sendReply(site.answer(asked), site, response);
        return;
    }
    // A fault that answers in the site's place leaves its state (shouts,
    // counters) alone, as a failing server would.
    Reply reply = faultUsesReply(options.fault) ? site.answer(asked) : Reply{};
    sendFault(options, reply, stopSignal, response);
}

}  // namespace srv
