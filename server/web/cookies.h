// Cookies of the web pages: reading them from a request, and the
// Set-Cookie values the site sends.
#pragma once
#include <string>

namespace srv {
struct Request;
struct Reply;
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

// A visitor's form token (login, shoutbox): the one in the form cookie, or
// a new one that keepFormToken() then sets. A post from another site
// carries neither (the cookie is SameSite=Strict), so it is refused.
struct FormToken {
    std::string value;
    bool fresh = false;
};
FormToken formTokenOf(const Request& request);
void keepFormToken(const Request& request, const FormToken& token, Reply& reply);
// Whether a posted form's token is the one in its sender's cookie.
bool formTokenMatches(const Request& request, const std::string& sent);

}  // namespace srv::web
