#include "tests/demo/raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

long declaredLength(const std::string& head) {
    const char* const name = "\r\ncontent-length:";
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t at = lower.find(name);
    if (at == std::string::npos) return -1;
    return std::strtol(head.c_str() + at + std::strlen(name), nullptr, 10);
}

}  // namespace

RawReply rawGet(int port, const std::string& target, int quietMs, int totalMs) {
    RawReply reply;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return reply;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return reply;
    }
    std::string request = "GET " + target + " HTTP/1.0\r\nHost: news.corvane.example\r\nUser-Agent: CORVANENEWS\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return reply;
    }
    std::string all;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(totalMs);
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), quietMs)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buf[65536];
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            reply.closed = true;
            break;
        }
        all.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    size_t end = all.find("\r\n\r\n");
    if (end == std::string::npos) {
        reply.head = all;
        return reply;
    }
    reply.head = all.substr(0, end + 2);
    reply.body = all.substr(end + 4);
    reply.contentLength = declaredLength(reply.head);
    return reply;
}
