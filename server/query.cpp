#include "server/query.h"

namespace srv {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string decodeQueryValue(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

Query::Query(const std::string& query) {
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        std::string pair = query.substr(start, end - start);
        if (!pair.empty()) {
            size_t eq = pair.find('=');
            std::string key = eq == std::string::npos ? pair : pair.substr(0, eq);
            std::string value = eq == std::string::npos ? "" : pair.substr(eq + 1);
            pairs.emplace_back(decodeQueryValue(key), decodeQueryValue(value));
        }
        start = end + 1;
    }
}

std::string Query::get(const std::string& key) const {
    for (const auto& p : pairs)
        if (p.first == key) return p.second;
    return "";
}

bool Query::has(const std::string& key) const {
    for (const auto& p : pairs)
        if (p.first == key) return true;
    return false;
}

std::string queryOf(const std::string& target) {
    size_t q = target.find('?');
    if (q == std::string::npos) return "";
    return target.substr(q + 1);
}

}  // namespace srv
