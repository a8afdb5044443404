#include "tests/faults/closing_proxy.h"
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

namespace {

constexpr int kIdleMs = 10000;        // a silent peer is given up after this
constexpr size_t kMaxHead = 64 * 1024;

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool sendAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        ssize_t sent = send(fd, data, length, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

// The request head with any Connection header replaced by "close".
std::string closingHead(const std::string& head) {
    std::string out;
    size_t start = 0;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        std::string line = head.substr(start, end - start);
        start = end + 2;
        if (line.empty()) break;
        if (strncasecmp(line.c_str(), "Connection:", 11) != 0) out += line + "\r\n";
    }
    return out + "Connection: close\r\n\r\n";
}

}  // namespace

ClosingProxy::ClosingProxy(int upstreamPort, std::string lastRequest)
    : upstreamPort(upstreamPort), lastRequest(std::move(lastRequest)) {
    listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    listenPort = ntohs(address.sin_port);
    if (this->lastRequest.empty()) {  // the port stays closed from the start
        close(listener);
        listener = -1;
        return;
    }
    listen(listener, 8);
    if (pipe2(wake, O_CLOEXEC) != 0) wake[0] = wake[1] = -1;
    thread = std::thread([this] { serve(); });
}

ClosingProxy::~ClosingProxy() {
    stopping = true;
    if (wake[1] >= 0) (void)!write(wake[1], "x", 1);
    if (thread.joinable()) thread.join();
    if (listener >= 0) close(listener);
    for (int fd : wake)
        if (fd >= 0) close(fd);
}

std::string ClosingProxy::connectTo() const {
    return "news.corvane.example:80:127.0.0.1:" + std::to_string(listenPort);
}

bool ClosingProxy::waitReadable(int fd, int timeoutMs) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
    int n = poll(fds, 2, timeoutMs);
    return n > 0 && !stopping && fds[0].revents;
}

void ClosingProxy::serve() {
    while (listener >= 0 && !stopping) {
        if (!waitReadable(listener, -1)) continue;
        int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        relay(client);
        close(client);
    }
}

void ClosingProxy::relay(int client) {
    std::string head;
    char buffer[16384];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
        if (!waitReadable(client, kIdleMs)) return;
        ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        head.append(buffer, static_cast<size_t>(got));
    }
    std::string requestLine = head.substr(0, head.find("\r\n"));
    if (requestLine.find(lastRequest) != std::string::npos) {
        close(listener);  // later connections are refused
        listener = -1;
    }

    int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(upstreamPort);
    if (connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string forwarded = closingHead(head);
        if (sendAll(server, forwarded.data(), forwarded.size())) {
            // The answer, until the server closes (it was asked to).
            while (waitReadable(server, kIdleMs)) {
                ssize_t got = recv(server, buffer, sizeof buffer, 0);
                if (got <= 0 || !sendAll(client, buffer, static_cast<size_t>(got))) break;
            }
        }
    }
    close(server);
}
