// A loopback TCP server that writes canned bytes, also replies no HTTP
// server would send: `answer(received)` gives the reply to what a client has
// sent so far, or nothing to wait for more. Then the server closes its side,
// stays silent, or trickles one byte every 20 ms until the client goes.
// One thread serves every client; a reply is written whole before the next.
#pragma once
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct RawReply {
    enum Then { Close, Silent, Trickle } then = Close;
    std::string bytes;
};

class RawServer {
public:
    explicit RawServer(std::function<std::optional<RawReply>(const std::string&)> answer) : answer(std::move(answer)) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        bind(listener, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener, 64);
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        listenPort = ntohs(address.sin_port);
        thread = std::thread([this] { while (!stopping) step(); });
    }
    ~RawServer() {
        stopping = true;
        thread.join();
        for (const Client& client : clients) close(client.fd);
        close(listener);
    }
    int port() const { return listenPort; }
    int connections() const { return accepted; }
    // Later connections are refused, as when the server goes away. For
    // `answer` only: it runs on the server's thread.
    void stopListening() { close(std::exchange(listener, -1)); }

private:
    struct Client { int fd; bool answered, trickle; std::string received; };
    void step() {
        std::vector<pollfd> fds{{listener, POLLIN, 0}};
        for (const Client& client : clients) fds.push_back({client.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), 20);
        for (size_t i = fds.size() - 1; i > 0; --i) {
            Client& client = clients[i - 1];
            char request[4096];
            bool readable = fds[i].revents & POLLIN;
            ssize_t got = readable ? recv(client.fd, request, sizeof request, 0) : 0;
            if (got > 0 && !client.answered) {
                client.received.append(request, static_cast<size_t>(got));
                if (std::optional<RawReply> reply = answer(client.received)) {
                    send(client.fd, reply->bytes.data(), reply->bytes.size(), MSG_NOSIGNAL);
                    if (reply->then == RawReply::Close) shutdown(client.fd, SHUT_WR);  // read on: no reset
                    client = {client.fd, true, reply->then == RawReply::Trickle, ""};
                }
            }
            if ((readable && got <= 0) || (client.trickle && send(client.fd, "x", 1, MSG_NOSIGNAL) != 1)) {
                close(client.fd);
                clients.erase(clients.begin() + static_cast<long>(i - 1));
            }
        }
        int fd = (fds[0].revents & POLLIN) ? accept4(listener, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (fd >= 0) clients.push_back({fd, false, false, ""});
        accepted += fd >= 0;
    }
    std::function<std::optional<RawReply>(const std::string&)> answer;
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int listenPort = 0;
    std::atomic<int> accepted{0};
    std::atomic<bool> stopping{false};
    std::vector<Client> clients;  // the server thread's
    std::thread thread;
};
