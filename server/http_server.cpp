#include "server/http_server.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <thread>
#include <vector>

#include "server/connection_registry.h"
#include "server/http_connection.h"

namespace srv {

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

// Site handlers wait on the store; a few threads keep the store busy
// while the event loops go on reading and writing.
constexpr size_t workerThreads = 4;
// Connections the kernel queues before accept: a burst of new clients.
constexpr int listenBacklog = 4096;
// Out of file descriptors: wait before accepting again instead of spinning.
constexpr auto acceptPause = std::chrono::milliseconds(100);

size_t eventLoops() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace

class HttpServer::Loop {
public:
    Loop(const HttpLimits& limits, Site& site, RequestLog& log)
        : limits(limits), registry(this->limits), workers(workerThreads),
          context{site, log, registry, this->limits, workers, stopping} {
        for (size_t i = 0; i < eventLoops(); ++i) {
            loops.push_back(std::make_unique<net::io_context>(1));
            guards.push_back(net::make_work_guard(*loops.back()));
        }
        acceptor.emplace(*loops.front());
        pause.emplace(*loops.front());
    }

    int bind(const std::string& host, int port, std::string& error) {
        boost::system::error_code failed;
        tcp::resolver resolver(*loops.front());
        auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::numeric_service, failed);
        if (failed || found.empty()) {
            error = "cannot resolve " + host + ": " + failed.message();
            return -1;
        }
        tcp::endpoint endpoint = found.begin()->endpoint();
        acceptor->open(endpoint.protocol(), failed);
        if (!failed) acceptor->set_option(tcp::acceptor::reuse_address(true), failed);
        if (!failed) acceptor->bind(endpoint, failed);
        if (!failed) acceptor->listen(listenBacklog, failed);
        if (failed) {
            error = "cannot listen on " + host + ":" + std::to_string(port) + ": " + failed.message();
            return -1;
        }
        return acceptor->local_endpoint().port();
    }

    bool run() {
        accept();
        std::vector<std::thread> threads;
        for (size_t i = 1; i < loops.size(); ++i) threads.emplace_back([this, i] { loops[i]->run(); });
        loops.front()->run();
        for (auto& t : threads) t.join();
        workers.join();
        return true;
    }

    void stop() {
        net::post(*loops.front(), [this] {
            if (stopping.exchange(true)) return;
            boost::system::error_code ignored;
            acceptor->close(ignored);
            pause->cancel();
            registry.closeWaiting();
            // Each loop ends once its last connection has closed.
            for (auto& guard : guards) guard.reset();
        });
    }

private:
    void accept() {
        net::io_context& target = *loops[next++ % loops.size()];
        acceptor->async_accept(target, [this](const boost::system::error_code& error, tcp::socket socket) {
            if (stopping) return;
            if (error) {
                // Most likely out of descriptors; the next try may succeed.
                pause->expires_after(acceptPause);
                pause->async_wait([this](const boost::system::error_code& cancelled) {
                    if (!cancelled && !stopping) accept();
                });
                return;
            }
            admit(std::move(socket));
            accept();
        });
    }

    void admit(tcp::socket socket) {
        boost::system::error_code failed;
        tcp::endpoint peer = socket.remote_endpoint(failed);
        if (failed) return;
        std::string address = peer.address().to_string();
        if (!registry.admit(address)) return;  // the socket closes as it goes
        // Small replies go out at once instead of waiting for an ack.
        socket.set_option(tcp::no_delay(true), failed);
        auto connection = std::make_shared<HttpConnection>(std::move(socket), std::move(address), context);
        // The connection runs on its own loop's thread.
        net::post(connection->executor(), [connection] { connection->start(); });
    }

    const HttpLimits limits;
    ConnectionRegistry registry;
    net::thread_pool workers;
    std::atomic<bool> stopping{false};
    ConnectionContext context;
    std::vector<std::unique_ptr<net::io_context>> loops;
    std::vector<net::executor_work_guard<net::io_context::executor_type>> guards;
    std::optional<tcp::acceptor> acceptor;
    std::optional<net::steady_timer> pause;
    size_t next = 0;
};

HttpServer::HttpServer(const HttpLimits& limits, Site& site, RequestLog& log)
    : loop(std::make_unique<Loop>(limits, site, log)) {}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string& host, int port, std::string& error) { return loop->bind(host, port, error); }

bool HttpServer::run() { return loop->run(); }

void HttpServer::stop() { loop->stop(); }

}  // namespace srv
