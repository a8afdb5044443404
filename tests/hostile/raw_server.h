// A loopback TCP server that writes canned bytes, for replies no HTTP
// server would send: `answer(request)` gives the reply to what a client sent
// first (its request, or the start of it). Then the server closes its side,
// stays silent, or trickles one byte every 20 ms until the client goes.
#pragma once
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct RawReply {
    enum Then { Close, Silent, Trickle } then = Close;
    std::string bytes;
};

class RawServer {
public:
    explicit RawServer(std::function<RawReply(const std::string&)> answer) : answer(std::move(answer)) {
        listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listener, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener, 64);
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        listenPort = ntohs(address.sin_port);
        thread = std::thread([this] { serve(); });
    }
    ~RawServer() {
        stopping = true;
        thread.join();
        for (const Client& client : clients) close(client.fd);
        close(listener);
    }
    int port() const { return listenPort; }
    int connections() const { return accepted; }

private:
    struct Client { int fd; bool answered, trickle; };
    void serve() {
        while (!stopping) {
            std::vector<pollfd> fds{{listener, POLLIN, 0}};
            for (const Client& client : clients) fds.push_back({client.fd, POLLIN, 0});
            poll(fds.data(), fds.size(), 20);
            for (size_t i = fds.size() - 1; i > 0; --i) {
                char scratch[4096];
                Client& client = clients[i - 1];
                ssize_t got = (fds[i].revents & POLLIN) ? recv(client.fd, scratch, sizeof scratch, 0) : 0;
                bool gone = (fds[i].revents & POLLIN) && got <= 0;
                if (got > 0 && !client.answered) {
                    RawReply reply = answer(std::string(scratch, static_cast<size_t>(got)));
                    send(client.fd, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
                    if (reply.then == RawReply::Close) shutdown(client.fd, SHUT_WR);  // read on: no reset
                    client = {client.fd, true, reply.then == RawReply::Trickle};
                }
                if (!gone && client.trickle) gone = send(client.fd, "x", 1, MSG_NOSIGNAL) != 1;
                if (gone || (fds[i].revents & (POLLERR | POLLHUP))) {
                    close(client.fd);
                    clients.erase(clients.begin() + static_cast<long>(i - 1));
                }
            }
            if (!(fds[0].revents & POLLIN)) continue;
            int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++accepted;
            clients.push_back({fd, false, false});
        }
    }
    std::function<RawReply(const std::string&)> answer;
    int listener = -1;
    int listenPort = 0;
    std::atomic<int> accepted{0};
    std::atomic<bool> stopping{false};
    std::vector<Client> clients;  // the server thread's
    std::thread thread;
};
