#include "server/http_connection.h"

#include "server/site_paths.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <cctype>
#include <cstdio>

#include "server/byte_range.h"
#include "server/query.h"

namespace srv {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

namespace {

// Bytes read while waiting for a request: enough for a whole plug-in
// request, small enough that 10 000 idle connections stay cheap.
constexpr size_t firstReadBytes = 1024;
// The request line's method, version and blanks besides the URL.
constexpr size_t requestLineSlack = 32;
// A head, or a head and a small body, in the read buffer; pipelined
// requests wait there too.
constexpr size_t readBufferBytes = 64 * 1024;
const std::string continueLine = "HTTP/1.1 100 Continue\r\n\r\n";

std::string text(beast::string_view view) { return std::string(view.data(), view.size()); }

// "%XX" becomes its byte; "+" stays (a path is not a query).
std::string decodePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
            out += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

bool safeHeaderText(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

// Fields after the request line: too many or too long a head is refused.
bool headerWithinLimits(const http::request<http::string_body>& request) {
    size_t count = 0, bytes = 0;
    for (const auto& field : request) {
        ++count;
        bytes += field.name_string().size() + field.value().size() + 4;  // ": " and CRLF
    }
    return count <= maxHeaderCount && bytes <= maxHeaderBytes;
}

}  // namespace

HttpConnection::HttpConnection(net::ip::tcp::socket socket, std::string address, ConnectionContext& context)
    : stream(std::move(socket)), buffer(readBufferBytes), address(std::move(address)), context(context),
      headStarted(std::chrono::steady_clock::now()) {}

HttpConnection::~HttpConnection() { context.registry.leave(*this, address); }

void HttpConnection::start() { waitForRequest(); }

void HttpConnection::closeSoon() {
    // The registry is locked: this object cannot be gone yet, but it may
    // be on its way out, when nothing owns it any more.
    auto self = weak_from_this().lock();
    if (!self) return;
    // Moved into the task: the last owner must never be let go here, under
    // the registry's lock, which the destructor takes.
    auto executor = stream.get_executor();
    net::post(executor, [self = std::move(self)] { self->close(); });
}

void HttpConnection::waitForRequest() {
    context.registry.startWaiting(*this);
    if (buffer.size() > 0) {  // pipelined: the next head is already here
        headStarted = std::chrono::steady_clock::now();
        readHead();
        return;
    }
    // A new connection has the head deadline from its opening; a kept-alive
    // one may idle, then has the head deadline from its first byte.
    if (firstRequest) stream.expires_at(headStarted + headDeadline);
    else stream.expires_after(context.limits.keepAlive);
    stream.async_read_some(buffer.prepare(firstReadBytes),
                           [self = shared_from_this()](const beast::error_code& error, size_t bytes) {
                               if (error) return self->close();
                               self->buffer.commit(bytes);
                               if (!self->firstRequest) self->headStarted = std::chrono::steady_clock::now();
                               self->readHead();
                           });
}

void HttpConnection::readHead() {
    parser.emplace();
    parser->header_limit(static_cast<uint32_t>(maxUrlBytes + maxHeaderBytes + requestLineSlack));
    parser->body_limit(context.limits.maxBodyBytes);
    stream.expires_at(headStarted + headDeadline);
    http::async_read_header(stream, buffer, *parser, [self = shared_from_this()](const beast::error_code& error, size_t) {
        self->onHead(error);
    });
}

void HttpConnection::onHead(const beast::error_code& error) {
    firstRequest = false;
    if (error == http::error::header_limit || error == http::error::buffer_overflow)
        return refuse(431, "The request head is too large.");
    if (error == http::error::body_limit) return refuse(413, "The request body is too large.");
    // Gone, too slow, or closed by us: nobody to answer.
    if (error == http::error::end_of_stream || error == http::error::partial_message ||
        (error && error.category() != http::make_error_code(http::error::bad_target).category()))
        return close();
    if (error) return refuse(400, "Malformed request.");
    const auto& request = parser->get();
    if (request.target().size() > maxUrlBytes) return refuse(414, "The address is too long.");
    if (!headerWithinLimits(request)) return refuse(431, "Too many or too long header fields.");
    if (request.method() == http::verb::post && request.target() == uploadPath)
        parser->body_limit(context.limits.maxUploadBytes + context.limits.maxBodyBytes);
    const http::verb method = request.method();
    if (method != http::verb::get && method != http::verb::head && method != http::verb::post)
        return refuse(405, "Only GET, HEAD and POST are answered.");
    if (parser->is_done()) return dispatch();
    if (beast::iequals(request[http::field::expect], "100-continue")) {
        stream.expires_after(bodyDeadline);
        net::async_write(stream, net::buffer(continueLine),
                         [self = shared_from_this()](const beast::error_code& failed, size_t) {
                             if (failed) return self->close();
                             self->readBody();
                         });
        return;
    }
    readBody();
}

void HttpConnection::readBody() {
    stream.expires_after(bodyDeadline);
    http::async_read(stream, buffer, *parser, [self = shared_from_this()](const beast::error_code& error, size_t) {
        if (error == http::error::body_limit) return self->refuse(413, "The request body is too large.");
        if (error) return self->close();
        self->dispatch();
    });
}

void HttpConnection::dispatch() {
    context.registry.stopWaiting(*this);
    auto& message = parser->get();
    const std::string target = text(message.target());
    Request request;
    request.path = decodePath(target.substr(0, target.find('?')));
    request.query = Query(queryOf(target));
    request.address = address;
    request.userAgent = text(message[http::field::user_agent]);
    request.method = text(message.method_string());
    for (const auto& field : message) {
        std::string name = text(field.name_string());
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        request.headers.emplace_back(std::move(name), text(field.value()));
    }
    request.body = std::move(message.body());
    const std::string version = message.version() == 10 ? "HTTP/1.0" : "HTTP/1.1";
    context.log.request(address, request.method, target, version, request.userAgent);
    keepAlive = message.keep_alive();
    headOnly = message.method() == http::verb::head;
    rangeAsked = text(message[http::field::range]);
    parser.reset();

    // Cached replies go out from this thread; the pool hop would cost more
    // than making them.
    Reply ready;
    try {
        if (context.site.answerWithoutStore(request, ready)) return send(std::move(ready));
    } catch (const std::exception&) {
        // The pool tries again and reports the failure.
    }
    net::post(context.workers, [self = shared_from_this(), request = std::move(request)]() mutable {
        auto answered = std::make_shared<std::atomic<bool>>(false);
        Respond respond = [self, answered](Reply reply) {
            if (answered->exchange(true)) return;
            net::post(self->stream.get_executor(),
                      [self, reply = std::move(reply)]() mutable { self->send(std::move(reply)); });
        };
        const std::string path = request.path.substr(0, maxLoggedFieldBytes);
        try {
            self->context.site.handle(std::move(request), respond);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "lumen-server: %s failed: %s\n", path.c_str(), e.what());
            respond(errorReply(500, "The server could not answer this request."));
        } catch (...) {
            std::fprintf(stderr, "lumen-server: %s failed\n", path.c_str());
            respond(errorReply(500, "The server could not answer this request."));
        }
    });
}

void HttpConnection::refuse(int status, const char* detail) {
    context.registry.stopWaiting(*this);
    parser.reset();
    keepAlive = false;
    headOnly = false;
    rangeAsked.clear();
    send(errorReply(status, detail));
}

void HttpConnection::send(Reply reply) {
    response.emplace();
    Response& r = *response;
    r.version(11);
    countedFile = 0;
    if (!reply.file.empty()) {
        attachFile(reply, r);
    } else {
        r.result(static_cast<unsigned>(reply.status));
        r.set(http::field::content_type, reply.contentType);
        r.body().text = std::move(reply.body);
    }
    for (const Header& header : reply.headers)
        if (safeHeaderText(header.first) && safeHeaderText(header.second)) r.insert(header.first, header.second);
    r.content_length(ReplyBody::size(r.body()));
    if (headOnly) r.body() = ReplyBody::value_type{};
    if (context.stopping) keepAlive = false;
    r.keep_alive(keepAlive);
    serializer.emplace(r);
    writeSome();
}

void HttpConnection::attachFile(const Reply& reply, Response& r) {
    // A symbolic link in the files folder is not followed.
    FileDescriptor file(::open(reply.file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        Reply missing = errorReply(404, "Not found.");
        r.result(static_cast<unsigned>(missing.status));
        r.set(http::field::content_type, missing.contentType);
        r.body().text = missing.body;
        return;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    r.set(http::field::accept_ranges, "bytes");
    r.set(http::field::content_type, reply.contentType);
    std::optional<ByteRange> range = rangeAsked.empty() ? std::nullopt : singleRange(rangeAsked, size);
    if (range && !range->satisfiable) {
        r.result(http::status::range_not_satisfiable);
        r.set(http::field::content_range, "bytes */" + std::to_string(size));
        return;
    }
    ByteRange sent{0, size, true};
    if (range) {
        sent = *range;
        r.result(http::status::partial_content);
        r.set(http::field::content_range, "bytes " + std::to_string(sent.first) + "-" +
                                              std::to_string(sent.first + sent.length - 1) + "/" + std::to_string(size));
    } else {
        r.result(static_cast<unsigned>(reply.status));
    }
    // Only the whole file sent to one client is a download.
    if (!headOnly && sent.first == 0 && sent.length == size) countedFile = reply.fileId;
    r.body().file = std::move(file);
    r.body().offset = sent.first;
    r.body().length = sent.length;
}

void HttpConnection::writeSome() {
    stream.expires_after(sendStallDeadline);
    http::async_write_some(stream, *serializer, [self = shared_from_this()](const beast::error_code& error, size_t) {
        if (error) return self->close();
        if (!self->serializer->is_done()) return self->writeSome();
        self->onSent();
    });
}

void HttpConnection::onSent() {
    if (countedFile != 0) {
        net::post(context.workers, [self = shared_from_this(), id = countedFile] { self->context.site.downloaded(id); });
        countedFile = 0;
    }
    serializer.reset();
    response.reset();
    if (!keepAlive || context.stopping) return close();
    waitForRequest();
}

void HttpConnection::close() {
    context.registry.stopWaiting(*this);
    beast::error_code ignored;
    // Half-close first, so a refusal sent just before still reaches the client.
    stream.socket().shutdown(net::ip::tcp::socket::shutdown_send, ignored);
    stream.close();
}

}  // namespace srv
