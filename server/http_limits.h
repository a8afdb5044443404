// What the HTTP layer grants one client: time, sizes and connections. The
// reason for each default is in docs/server.md ("Limits").
#pragma once
#include <chrono>
#include <cstddef>

namespace srv {

// Fixed: no operator needs to move them.
// A request's head (request line and headers) must arrive whole within
// this time after the connection opens or its first byte, however slowly
// it drips.
inline constexpr std::chrono::seconds headDeadline{10};
// The request target; the plug-in's longest (a 500-character post, every
// byte escaped) stays far below. Longer: 414.
inline constexpr size_t maxUrlBytes = 8 * 1024;
// The header fields after the request line, in bytes and in number.
// Over either: 431.
inline constexpr size_t maxHeaderBytes = 8 * 1024;
inline constexpr size_t maxHeaderCount = 64;
// A body must arrive within this time after its head.
inline constexpr std::chrono::seconds bodyDeadline{30};
// A reply that goes out slower than one chunk in this time is dropped.
inline constexpr std::chrono::seconds sendStallDeadline{30};

// An operator may tune these (serve options).
struct HttpLimits {
    size_t maxBodyBytes = 1024 * 1024;          // --max-body
    // A file sent to the operator's upload page (uploadPath), besides its
    // form's other fields (maxBodyBytes).
    size_t maxUploadBytes = size_t{64} << 20;   // --upload-max-mb
    size_t maxConnections = 10000;              // --max-connections
    size_t maxConnectionsPerAddress = 64;       // --max-per-address
    std::chrono::seconds keepAlive{15};         // --keep-alive
};

}  // namespace srv
