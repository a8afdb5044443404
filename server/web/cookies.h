// Cookies of the web pages: reading them from a request, and the
// Set-Cookie values the site sends.
#pragma once
#include <string>

namespace srv {
struct Request;
}

namespace srv::web {

// The chosen page language ("en", "fr", "it"); kept a year.
inline constexpr const char* languageCookie = "lang";
// The operator's session; ends with the browser or at logout.
inline constexpr const char* sessionCookie = "lumen_session";
// A visitor's form token, compared with the one each form carries.
inline constexpr const char* formCookie = "lumen_form";

// The value of the first cookie `name`, or "".
std::string cookieValue(const Request& request, const std::string& name);

// Whether the request reached a proxy over https: only a proxy on this
// machine (a loopback address) is believed when it says so.
bool cameOverHttps(const Request& request);

// A Set-Cookie value: Path=/, HttpOnly, SameSite=Strict, Secure over https.
// `maxAgeSeconds` < 0: a browser-session cookie; 0: deletes it.
std::string setCookie(const Request& request, const std::string& name, const std::string& value,
                      long maxAgeSeconds = -1);

}  // namespace srv::web
