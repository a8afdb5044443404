// One client connection: reads a request at a time within the limits,
// hands it to the site on the worker pool, and writes the reply; then
// waits for the next request (keep-alive), so pipelined requests are
// answered in order. Runs on one I/O thread; holds no thread while
// waiting.
#pragma once
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/serializer.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "server/connection_registry.h"
#include "server/http_limits.h"
#include "server/reply_body.h"
#include "server/request_log.h"
#include "server/site.h"

namespace srv {

// What all connections of a server share.
struct ConnectionContext {
    Site& site;
    RequestLog& log;
    ConnectionRegistry& registry;
    const HttpLimits& limits;
    boost::asio::thread_pool& workers;
    const std::atomic<bool>& stopping;
};

class HttpConnection : public ConnectionRegistry::Member, public std::enable_shared_from_this<HttpConnection> {
public:
    // `address` has been admitted by the registry; the slot is given back
    // when the connection goes.
    HttpConnection(boost::asio::ip::tcp::socket socket, std::string address, ConnectionContext& context);
    ~HttpConnection() override;
    // Call on executor(): the connection's event loop.
    void start();
    void closeSoon() override;
    boost::asio::any_io_executor executor() { return stream.get_executor(); }

private:
    using Parser = boost::beast::http::request_parser<boost::beast::http::string_body>;
    using Response = boost::beast::http::response<ReplyBody>;

    void waitForRequest();
    void readHead();
    void onHead(const boost::beast::error_code& error);
    void readBody();
    void dispatch();
    // Refuses the request with a status page, then closes.
    void refuse(int status, const char* detail);
    void send(Reply reply);
    void attachFile(const Reply& reply, Response& response);
    void writeSome();
    void onSent();
    void close();

    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    const std::string address;
    ConnectionContext& context;
    std::optional<Parser> parser;
    std::optional<Response> response;
    std::optional<boost::beast::http::response_serializer<ReplyBody>> serializer;
    std::chrono::steady_clock::time_point headStarted;
    bool firstRequest = true;
    bool keepAlive = true;
    bool headOnly = false;    // HEAD: the headers of the reply, no body, nothing counted
    std::string rangeAsked;   // the Range header of the request being answered
    int64_t countedFile = 0;  // the download to count once its reply is sent whole
};

}  // namespace srv
