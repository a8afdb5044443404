#include "server/faults.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <memory>
#include <vector>

namespace srv {

namespace {

constexpr size_t chunkBytes = 64 * 1024;
constexpr auto stallInterval = std::chrono::seconds(60);

uint64_t splitmix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

void sendJunk(long megabytes, StopSignal& stop, httplib::Response& response) {
    response.status = 200;
    const size_t total = static_cast<size_t>(megabytes) * 1024 * 1024;
    // Made chunk by chunk as the client reads; never the whole body at once.
    response.set_content_provider(
        total, "application/octet-stream", [&stop](size_t offset, size_t length, httplib::DataSink& sink) {
            if (stop.stopped()) return false;
            std::vector<char> chunk(std::min(length, chunkBytes));
            for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(junkByte(offset + i));
            return sink.write(chunk.data(), chunk.size());
        });
}

void sendStall(StopSignal& stop, httplib::Response& response) {
    response.status = 200;
    // No length: the body only ends when the connection does.
    response.set_content_provider("text/html", [&stop](size_t, httplib::DataSink& sink) {
        if (!stop.sleepFor(stallInterval)) return false;
        return sink.write(" ", 1);
    });
}

// The bytes of a reply, read from its file for a download.
std::string bytesOf(const Reply& reply) {
    if (reply.file.empty()) return reply.body ? *reply.body : std::string();
    std::ifstream in(reply.file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void sendHalf(const Reply& reply, httplib::Response& response) {
    response.status = reply.status;
    auto body = std::make_shared<const std::string>(bytesOf(reply));
    const size_t half = body->size() / 2;
    response.set_content_provider(body->size(), reply.contentType,
                                  [body, half](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset < half) sink.write(body->data() + offset, half - offset);
                                      // Failing the provider makes the server close the connection
                                      // short of the declared length.
                                      return false;
                                  });
}

}  // namespace

bool faultUsesReply(Fault fault) { return fault == Fault::None || fault == Fault::DropHalf; }

unsigned char junkByte(size_t offset) {
    return static_cast<unsigned char>(splitmix64(offset / 8) >> (8 * (offset % 8)));
}

void sendReply(const Reply& reply, Site& site, httplib::Response& response) {
    response.status = reply.status;
    for (const Header& header : reply.headers) response.set_header(header.first, header.second);
    if (reply.file.empty()) {
        response.set_content(reply.body ? *reply.body : std::string(), reply.contentType);
        return;
    }
    auto in = std::make_shared<std::ifstream>(reply.file, std::ios::binary);
    in->seekg(0, std::ios::end);
    std::streamoff size = *in ? static_cast<std::streamoff>(in->tellg()) : -1;
    if (size < 0) {
        Reply missing = errorReply(404, "File missing on the server.");
        response.status = missing.status;
        response.set_content(*missing.body, missing.contentType);
        return;
    }
    in->seekg(0);
    const int64_t id = reply.fileId;
    response.set_content_provider(
        static_cast<size_t>(size), reply.contentType,
        [in](size_t offset, size_t length, httplib::DataSink& sink) {
            std::vector<char> chunk(std::min(length, chunkBytes));
            in->seekg(static_cast<std::streamoff>(offset));
            in->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            if (in->gcount() <= 0) return false;
            return sink.write(chunk.data(), static_cast<size_t>(in->gcount()));
        },
        // Only a download that reached its last byte counts.
        [&site, id](bool success) {
            if (success) site.downloaded(id);
        });
}

void sendFault(const Options& options, const Reply& reply, StopSignal& stop, httplib::Response& response) {
    switch (options.fault) {
    case Fault::None:
        response.status = reply.status;
        response.set_content(bytesOf(reply), reply.contentType);
        break;
    case Fault::Status: {
        Reply page = errorReply(options.status, "Fault set with --status.");
        response.set_content(*page.body, page.contentType);
        response.status = options.status;
        break;
    }
    case Fault::Redirect:
        response.set_content(*errorReply(302, "Moved.").body, "text/html; charset=UTF-8");
        response.set_redirect(options.redirect, 302);
        break;
    case Fault::Empty:
        response.status = 200;
        response.set_content("", reply.contentType);
        break;
    case Fault::Junk:
        sendJunk(options.junkMb, stop, response);
        break;
    case Fault::Stall:
        sendStall(stop, response);
        break;
    case Fault::DropHalf:
        sendHalf(reply, response);
        break;
    }
}

}  // namespace srv
