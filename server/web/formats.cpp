#include "server/web/formats.h"

#include <ctime>

#include "server/web/escape.h"

namespace srv::web {

namespace {

std::string formatTm(const std::tm& tm) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm);
    return text;
}

std::string grouped(int64_t n, const char* separator) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return (n < 0 ? "-" : "") + out;
}

}  // namespace

std::string localTime(int64_t posted) {
    std::time_t t = static_cast<std::time_t>(posted);
    std::tm tm{};
    localtime_r(&t, &tm);
    return formatTm(tm);
}

std::string articleTime(int64_t posted, int utcOffset) {
    std::time_t t = static_cast<std::time_t>(posted + int64_t{utcOffset} * 60);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return formatTm(tm);
}

std::string byteCount(int64_t bytes, Lang lang) {
    const char* separator = lang == Lang::En ? "," : lang == Lang::Fr ? "\u202F" : ".";
    return grouped(bytes, separator) + " " + say(Text::Bytes, lang);
}

std::string paragraphsHtml(const std::string& plain) {
    std::string html;
    std::string paragraph;
    auto flush = [&] {
        while (!paragraph.empty() && paragraph.back() == ' ') paragraph.pop_back();
        if (!paragraph.empty()) html += "<p>" + escapeHtml(paragraph) + "</p>\n";
        paragraph.clear();
    };
    size_t start = 0;
    while (start <= plain.size()) {
        size_t end = plain.find('\n', start);
        if (end == std::string::npos) end = plain.size();
        std::string line = plain.substr(start, end - start);
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) {
            flush();
        } else {
            size_t last = line.find_last_not_of(" \t\r");
            paragraph += line.substr(first, last - first + 1) + " ";
        }
        start = end + 1;
    }
    flush();
    return html;
}

std::string lineOf(const std::string& storedHtml) {
    std::string plain = plainTextOf(storedHtml);
    for (char& c : plain)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return escapeHtml(plain);
}

}  // namespace srv::web
