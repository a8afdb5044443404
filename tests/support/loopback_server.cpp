#include "tests/support/loopback_server.h"
#include <strings.h>
#include <algorithm>
#include <regex>

namespace {

constexpr size_t kStallMissing = 100;  // body bytes a stalled reply declares but never sends
const std::string kNoRoute = "no such route";

// A reply's status line and headers, for a body of `length` bytes.
std::string replyHead(int status, size_t length, const std::string& more = "") {
    return "HTTP/1.1 " + std::to_string(status) + " Scripted\r\nConnection: close\r\nContent-Length: " +
           std::to_string(length) + "\r\n" + more + "\r\n";
}

std::string junkOf(size_t bytes) {
    std::string junk(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) junk[i] = static_cast<char>(i * 2654435761u >> 13);
    return junk;
}

// The target of a request's first line, and its header lines.
LoopbackServer::Request parse(const std::string& head) {
    static const std::regex headerLine("([^:\r\n]+): *([^\r\n]*)\r\n");
    LoopbackServer::Request request;
    const size_t target = head.find(' ') + 1;
    request.path = head.substr(target, head.find(' ', target) - target);
    for (std::sregex_iterator it(head.begin() + head.find('\n') + 1, head.end(), headerLine), end; it != end; ++it)
        request.headers.emplace_back((*it)[1], (*it)[2]);
    return request;
}

}  // namespace

std::string LoopbackServer::Request::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (!strcasecmp(key.c_str(), name.c_str())) return value;
    return "";
}

bool LoopbackServer::Request::hasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& header) { return !strcasecmp(header.first.c_str(), name.c_str()); });
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

std::optional<RawReply> LoopbackServer::answer(const std::string& received) {
    if (received.find("\r\n\r\n") == std::string::npos) return std::nullopt;  // the head is not whole yet
    Request request = parse(received);
    std::lock_guard<std::mutex> guard(lock);
    log.push_back(request);
    // A route for the whole target (path and query) wins over one for the path.
    auto route = routes.find(request.path);
    if (route == routes.end()) route = routes.find(request.path.substr(0, request.path.find('?')));
    if (route == routes.end()) return RawReply{RawReply::Close, replyHead(404, kNoRoute.size()) + kNoRoute};
    if (route->second.closes) raw.stopListening();
    RawReply reply = route->second.reply;
    reply.bytes += junkOf(route->second.junkBytes);
    return reply;
}

void LoopbackServer::setRoute(const std::string& path, Route route) {
    std::lock_guard<std::mutex> guard(lock);
    routes[path] = std::move(route);
}

void LoopbackServer::serve(const std::string& path, const std::string& body, int status) {
    setRoute(path, {{RawReply::Close, replyHead(status, body.size()) + body}});
}

void LoopbackServer::redirect(const std::string& path, const std::string& location, int status) {
    setRoute(path, {{RawReply::Close, replyHead(status, 0, "Location: " + location + "\r\n")}});
}

void LoopbackServer::dropAfter(const std::string& path, const std::string& body, size_t sent) {
    setRoute(path, {{RawReply::Close, replyHead(200, body.size()) + body.substr(0, sent)}});
}

void LoopbackServer::stall(const std::string& path, size_t sent) {
    setRoute(path, {{RawReply::Silent, replyHead(200, sent + kStallMissing) + std::string(sent, 's')}});
}

void LoopbackServer::junk(const std::string& path, size_t bytes) {
    setRoute(path, {{RawReply::Close, replyHead(200, bytes)}, bytes});
}

void LoopbackServer::closeAfter(const std::string& path) {
    std::lock_guard<std::mutex> guard(lock);
    routes[path].closes = true;
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> guard(lock);
    return log;
}

size_t LoopbackServer::requestCount() const {
    std::lock_guard<std::mutex> guard(lock);
    return log.size();
}
