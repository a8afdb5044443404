#include "server/web/cookies.h"

#include "server/site.h"
#include "server/web/operator_sessions.h"

namespace srv::web {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool isLoopback(const std::string& address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address.rfind("::ffff:127.", 0) == 0;
}

}  // namespace

std::string cookieValue(const Request& request, const std::string& name) {
    std::string_view header = request.header("cookie");
    size_t start = 0;
    while (start < header.size()) {
        size_t end = header.find(';', start);
        if (end == std::string_view::npos) end = header.size();
        std::string_view pair = trimmed(header.substr(start, end - start));
        size_t equals = pair.find('=');
        if (equals != std::string_view::npos && trimmed(pair.substr(0, equals)) == name)
            return std::string(trimmed(pair.substr(equals + 1)));
        start = end + 1;
    }
    return "";
}

bool cameOverHttps(const Request& request) {
    return isLoopback(request.address) && trimmed(request.header("x-forwarded-proto")) == "https";
}

std::string setCookie(const Request& request, const std::string& name, const std::string& value,
                      long maxAgeSeconds) {
    std::string cookie = name + "=" + value + "; Path=/; HttpOnly; SameSite=Strict";
    if (maxAgeSeconds >= 0) cookie += "; Max-Age=" + std::to_string(maxAgeSeconds);
    if (cameOverHttps(request)) cookie += "; Secure";
    return cookie;
}

FormToken formTokenOf(const Request& request) {
    FormToken token{cookieValue(request, formCookie), false};
    if (token.value.size() != tokenHexDigits) token = FormToken{randomToken(), true};
    return token;
}

void keepFormToken(const Request& request, const FormToken& token, Reply& reply) {
    if (token.fresh) reply.headers.emplace_back("Set-Cookie", setCookie(request, formCookie, token.value));
}

bool formTokenMatches(const Request& request, const std::string& sent) {
    return sameToken(sent, cookieValue(request, formCookie));
}

}  // namespace srv::web
