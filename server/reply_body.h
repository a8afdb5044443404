// The body of every reply the HTTP layer sends, as a Boost.Beast body
// type: a shared text made by the site (sent without a copy), or a byte
// range of an open file (read a chunk at a time, never whole).
#pragma once
#include <unistd.h>

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/optional.hpp>
#include <cstdint>
#include <memory>
#include <utility>

#include "server/reply_cache.h"

namespace srv {

// An open file descriptor, closed when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd >= 0) ::close(fd);
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
    int get() const { return fd; }
    explicit operator bool() const { return fd >= 0; }

private:
    int fd = -1;
};

struct ReplyBody {
    struct value_type {
        Body text;            // a text reply, or
        FileDescriptor file;  // a file, from `offset`, `length` bytes
        uint64_t offset = 0;
        uint64_t length = 0;
    };

    static uint64_t size(const value_type& body) {
        if (body.file) return body.length;
        return body.text ? body.text->size() : 0;
    }

    class writer {
    public:
        using const_buffers_type = boost::asio::const_buffer;

        template <bool isRequest, class Fields>
        writer(const boost::beast::http::header<isRequest, Fields>&, const value_type& body) : body(body) {}

        void init(boost::beast::error_code& ec) { ec = {}; }

        boost::optional<std::pair<const_buffers_type, bool>> get(boost::beast::error_code& ec) {
            ec = {};
            if (!body.file) {
                if (textSent || !body.text || body.text->empty()) return boost::none;
                textSent = true;
                return std::make_pair(const_buffers_type(body.text->data(), body.text->size()), false);
            }
            const uint64_t left = body.length - sent;
            if (left == 0) return boost::none;
            if (!chunk) chunk = std::make_unique<char[]>(chunkBytes);
            const size_t want = left < chunkBytes ? static_cast<size_t>(left) : chunkBytes;
            ssize_t got = ::pread(body.file.get(), chunk.get(), want, static_cast<off_t>(body.offset + sent));
            if (got <= 0) {  // the file shrank or failed under us: the reply cannot be finished
                ec = boost::beast::errc::make_error_code(boost::beast::errc::io_error);
                return boost::none;
            }
            sent += static_cast<uint64_t>(got);
            return std::make_pair(const_buffers_type(chunk.get(), static_cast<size_t>(got)), sent < body.length);
        }

    private:
        static constexpr size_t chunkBytes = 64 * 1024;
        const value_type& body;
        bool textSent = false;
        uint64_t sent = 0;
        std::unique_ptr<char[]> chunk;
    };
};

}  // namespace srv
