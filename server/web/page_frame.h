// The frame every web page shares: document head, header with the
// sections and the language switch, footer; and the headers that keep
// pages safe (a Content-Security-Policy that allows only our own
// stylesheet and no script at all).
#pragma once
#include <string>

#include "server/site.h"
#include "server/web/web_texts.h"

namespace srv::web {

enum class Section { Home, News, Shoutbox, Downloads, Statistics, Operator };

inline constexpr const char* stylesheetPath = "/style.css";

// The stylesheet's text.
const std::string& stylesheet();

struct PageContent {
    std::string title;  // plain text
    Section section = Section::Home;
    std::string mainHtml;  // made of escaped parts only
    int status = 200;
    bool private_ = false;  // operator pages: never cached, no referrer
};

// The whole page for `request` in `lang`; remembers a language chosen by
// the "lang" query value in a cookie.
Reply renderPage(const Request& request, Lang lang, const PageContent& content);

// A 303 to `location`, a path of this site.
Reply redirectTo(const std::string& location);

// Adds the safety headers of every web reply.
void addSafetyHeaders(Reply& reply);

// A path of this site with each segment URL-escaped, for an href.
std::string pathUrl(const std::string& path);

}  // namespace srv::web
