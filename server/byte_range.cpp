#include "server/byte_range.h"

#include <cctype>

namespace srv {

namespace {

constexpr std::string_view bytesUnit = "bytes=";
// More digits than any file size has: refused instead of overflowing.
constexpr size_t maxDigits = 18;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<uint64_t> number(std::string_view text) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

std::optional<ByteRange> singleRange(std::string_view header, uint64_t size) {
    header = trimmed(header);
    if (header.substr(0, bytesUnit.size()) != bytesUnit) return std::nullopt;
    std::string_view spec = trimmed(header.substr(bytesUnit.size()));
    if (spec.find(',') != std::string_view::npos) return std::nullopt;
    size_t dash = spec.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    std::string_view from = trimmed(spec.substr(0, dash)), to = trimmed(spec.substr(dash + 1));
    ByteRange range;
    if (from.empty()) {  // the last N bytes
        auto last = number(to);
        if (!last) return std::nullopt;
        if (*last == 0 || size == 0) {
            range.satisfiable = false;
            return range;
        }
        range.length = *last < size ? *last : size;
        range.first = size - range.length;
        return range;
    }
    auto first = number(from);
    if (!first) return std::nullopt;
    std::optional<uint64_t> end = to.empty() ? std::optional<uint64_t>(UINT64_MAX) : number(to);
    if (!end || *end < *first) return std::nullopt;
    if (*first >= size) {
        range.satisfiable = false;
        return range;
    }
    range.first = *first;
    range.length = (*end < size - 1 ? *end : size - 1) - *first + 1;
    return range;
}

}  // namespace srv
