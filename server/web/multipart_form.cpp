#include "server/web/multipart_form.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace srv::web {

namespace {

constexpr size_t maxBoundaryLength = 70;

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

size_t find(std::string_view haystack, std::string_view needle, size_t from) {
    if (from > haystack.size()) return std::string_view::npos;
    auto it = std::search(haystack.begin() + static_cast<std::ptrdiff_t>(from), haystack.end(),
                          std::boyer_moore_horspool_searcher(needle.begin(), needle.end()));
    return it == haystack.end() ? std::string_view::npos : static_cast<size_t>(it - haystack.begin());
}

// The value of `key=` in a header's parameters, quoted or not.
bool parameter(std::string_view header, const std::string& key, std::string& value) {
    std::string low = lower(header);
    size_t at = 0;
    while ((at = low.find(key + "=", at)) != std::string::npos) {
        bool starts = at == 0 || low[at - 1] == ';' || low[at - 1] == ' ' || low[at - 1] == '\t';
        size_t start = at + key.size() + 1;
        at = start;
        if (!starts) continue;
        if (start < header.size() && header[start] == '"') {
            size_t end = header.find('"', start + 1);
            if (end == std::string_view::npos) return false;
            value = std::string(header.substr(start + 1, end - start - 1));
        } else {
            size_t end = header.find(';', start);
            value = std::string(header.substr(start, end == std::string_view::npos ? end : end - start));
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        }
        return true;
    }
    return false;
}

// Reads the head of one part; false when it is not form data with a name.
bool readHead(std::string_view head, FormPart& part) {
    size_t start = 0;
    bool named = false;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string_view::npos) end = head.size();
        std::string_view line = head.substr(start, end - start);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos && lower(line.substr(0, colon)) == "content-disposition") {
            std::string_view value = line.substr(colon + 1);
            if (lower(value).find("form-data") == std::string::npos) return false;
            named = parameter(value, "name", part.name) && !part.name.empty();
            part.isFile = parameter(value, "filename", part.fileName);
        }
        start = end + 2;
    }
    return named;
}

}  // namespace

std::string multipartBoundary(std::string_view contentType) {
    std::string type = lower(contentType.substr(0, contentType.find(';')));
    while (!type.empty() && type.back() == ' ') type.pop_back();
    if (type != "multipart/form-data") return "";
    std::string boundary;
    if (!parameter(contentType, "boundary", boundary)) return "";
    if (boundary.empty() || boundary.size() > maxBoundaryLength) return "";
    return boundary;
}

MultipartError MultipartForm::parse(std::string_view contentType, std::string_view body,
                                    const MultipartLimits& limits) {
    parts.clear();
    const std::string boundary = multipartBoundary(contentType);
    if (boundary.empty()) return MultipartError::NotMultipart;
    const std::string first = "--" + boundary;
    const std::string delimiter = "\r\n--" + boundary;
    size_t at = find(body, first, 0);
    if (at != 0 && at != std::string_view::npos) {
        // A preamble is allowed, but then the boundary opens a line.
        at = find(body, delimiter, 0);
        if (at != std::string_view::npos) at += 2;
    }
    if (at == std::string_view::npos) return MultipartError::Malformed;
    at += first.size();
    auto fail = [&](MultipartError error) {
        parts.clear();
        return error;
    };
    for (;;) {
        if (body.substr(at, 2) == "--") return MultipartError::None;  // the closing delimiter
        if (body.substr(at, 2) != "\r\n") return fail(MultipartError::Malformed);
        at += 2;
        if (parts.size() == limits.maxParts) return fail(MultipartError::TooManyParts);
        size_t headEnd = body.find("\r\n\r\n", at);
        if (headEnd == std::string_view::npos || headEnd - at > limits.maxHeadBytes)
            return fail(MultipartError::Malformed);
        FormPart part;
        if (!readHead(body.substr(at, headEnd - at + 2), part)) return fail(MultipartError::Malformed);
        size_t dataStart = headEnd + 4;
        size_t dataEnd = find(body, delimiter, dataStart);
        if (dataEnd == std::string_view::npos) return fail(MultipartError::Malformed);
        size_t size = dataEnd - dataStart;
        if (part.isFile && size > limits.maxFileBytes) return fail(MultipartError::FileTooLarge);
        if (!part.isFile && size > limits.maxFieldBytes) return fail(MultipartError::FieldTooLarge);
        part.data = std::string(body.substr(dataStart, size));
        parts.push_back(std::move(part));
        at = dataEnd + delimiter.size();
    }
}

std::string MultipartForm::field(const std::string& name) const {
    for (const FormPart& p : parts)
        if (!p.isFile && p.name == name) return p.data;
    return "";
}

const FormPart* MultipartForm::file(const std::string& name) const {
    for (const FormPart& p : parts)
        if (p.isFile && p.name == name) return &p;
    return nullptr;
}

}  // namespace srv::web
