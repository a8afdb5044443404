#include "tests/support/loopback_server.h"
#include <httplib.h>
#include <strings.h>
#include <algorithm>
#include <chrono>

std::string LoopbackServer::Request::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (!strcasecmp(key.c_str(), name.c_str())) return value;
    return "";
}

bool LoopbackServer::Request::hasHeader(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (!strcasecmp(key.c_str(), name.c_str())) return true;
    return false;
}

LoopbackServer::LoopbackServer() : server(std::make_unique<httplib::Server>()) {
    // One request per connection: an idle keep-alive connection would hold
    // up stop() for seconds.
    server->set_keep_alive_max_count(1);
    server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Route route;
        bool known = false;
        {
            std::lock_guard<std::mutex> guard(lock);
            Request seen;
            seen.path = request.target;
            for (const auto& [key, value] : request.headers) seen.headers.emplace_back(key, value);
            log.push_back(std::move(seen));
            // A route for the whole target (path and query) wins over one for the path.
            auto it = routes.find(request.target);
            if (it == routes.end()) it = routes.find(request.path);
            if (it != routes.end()) {
                route = it->second;
                known = true;
            }
        }
        if (!known) {
            response.status = 404;
            response.set_content("no such route", "text/plain");
            return;
        }
        response.status = route.status;
        if (route.closes) server->stop();  // the listening socket goes; later connects are refused
        switch (route.kind) {
        case Route::Body:
            response.set_content(route.body, "text/plain");
            break;
        case Route::Redirect:
            response.set_header("Location", route.location);
            break;
        case Route::Drop:
            response.set_content_provider(route.body.size(), "text/plain",
                                          [route](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset == 0) sink.write(route.body.data(), route.sent);
                                              return false;  // closes the connection
                                          });
            break;
        case Route::Junk:
            response.set_content_provider(route.sent, "application/octet-stream",
                                          [](size_t offset, size_t length, httplib::DataSink& sink) {
                                              std::string chunk(std::min<size_t>(length, 65536), '\0');
                                              for (size_t i = 0; i < chunk.size(); ++i)
                                                  chunk[i] = static_cast<char>((offset + i) * 2654435761u >> 13);
                                              return sink.write(chunk.data(), chunk.size());
                                          });
            break;
        case Route::Stall:
            response.set_content_provider(route.sent + 100, "text/plain", [this, route](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset < route.sent) return sink.write(std::string(route.sent - offset, 's').data(), route.sent - offset);
                std::unique_lock<std::mutex> guard(lock);
                // Bounded, so that a forgotten server cannot hang a test run.
                wake.wait_for(guard, std::chrono::seconds(60), [this] { return stopping; });
                return false;
            });
            break;
        }
    });
    listenPort = server->bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server->listen_after_bind(); });
    // stop() before the accept loop runs would be missed, and join() hang.
    while (!server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    server->stop();
    if (thread.joinable()) thread.join();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(listenPort) + path;
}

void LoopbackServer::setRoute(const std::string& path, Route route) {
    std::lock_guard<std::mutex> guard(lock);
    routes[path] = std::move(route);
}

void LoopbackServer::serve(const std::string& path, const std::string& body, int status) {
    Route route;
    route.body = body;
    route.status = status;
    setRoute(path, std::move(route));
}

void LoopbackServer::redirect(const std::string& path, const std::string& location, int status) {
    Route route;
    route.kind = Route::Redirect;
    route.location = location;
    route.status = status;
    setRoute(path, std::move(route));
}

void LoopbackServer::dropAfter(const std::string& path, const std::string& body, size_t sent) {
    Route route;
    route.kind = Route::Drop;
    route.body = body;
    route.sent = sent < body.size() ? sent : body.size();
    setRoute(path, std::move(route));
}

void LoopbackServer::junk(const std::string& path, size_t bytes) {
    Route route;
    route.kind = Route::Junk;
    route.sent = bytes;
    setRoute(path, std::move(route));
}

void LoopbackServer::closeAfter(const std::string& path) {
    std::lock_guard<std::mutex> guard(lock);
    routes[path].closes = true;
}

void LoopbackServer::stall(const std::string& path, size_t sent) {
    Route route;
    route.kind = Route::Stall;
    route.sent = sent;
    setRoute(path, std::move(route));
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> guard(lock);
    return log;
}

size_t LoopbackServer::requestCount() const {
    std::lock_guard<std::mutex> guard(lock);
    return log.size();
}
