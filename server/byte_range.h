// The one byte range a download may be asked for ("Range: bytes=..."):
// a single range is honoured, anything else gets the whole file, so that a
// request can never make the server build a multipart reply.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace srv {

struct ByteRange {
    uint64_t first = 0;
    uint64_t length = 0;
    bool satisfiable = true;  // false: answer 416
};

// The range `header` asks of a file of `size` bytes; nothing when the
// whole file is to be sent (no header, several ranges, another unit, a
// malformed value).
std::optional<ByteRange> singleRange(std::string_view header, uint64_t size);

}  // namespace srv
