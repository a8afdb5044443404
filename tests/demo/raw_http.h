// A bare HTTP/1.0 GET over a loopback socket that reports exactly what
// arrived: what httplib's client would hide when a reply is cut or stalls.
#pragma once
#include <string>

struct RawReply {
    std::string head;  // status line and headers, up to the empty line
    std::string body;  // whatever followed
    bool closed = false;  // the server closed the connection
    long contentLength = -1;  // the declared length, -1 without one
};

// Reads until the server closes, or `quietMs` pass without data, or
// `totalMs` pass in all.
RawReply rawGet(int port, const std::string& target, int quietMs, int totalMs);
