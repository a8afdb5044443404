#include "server/web/page_frame.h"

#include "server/web/cookies.h"
#include "server/web/escape.h"

namespace srv::web {

namespace {

// One year, in seconds: how long a chosen language is remembered.
constexpr long languageCookieSeconds = 365L * 24 * 3600;

struct NavEntry {
    Section section;
    const char* path;
    Text label;
};

const NavEntry publicNav[] = {
    {Section::Home, "/", Text::Home},
    {Section::News, "/news", Text::News},
    {Section::Shoutbox, "/shouts", Text::Shoutbox},
    {Section::Downloads, "/files", Text::Downloads},
    {Section::Statistics, "/stats", Text::Statistics},
};

const char* const contentSecurityPolicy =
    "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; base-uri 'none'; "
    "frame-ancestors 'none'";

std::string languageSwitch(const Request& request, Lang current) {
    std::string html = "<nav class=\"langs\" aria-label=\"" + escapeAttribute(say(Text::LanguageLabel, current)) + "\">";
    const std::pair<Lang, const char*> names[] = {{Lang::En, "English"}, {Lang::Fr, "Français"}, {Lang::It, "Italiano"}};
    for (const auto& [lang, name] : names) {
        std::string href = pathUrl(request.path) + "?lang=" + languageCode(lang);
        if (lang == current)
            html += "<span class=\"current\" lang=\"" + std::string(languageCode(lang)) + "\">" + escapeHtml(name) + "</span>";
        else
            html += "<a href=\"" + escapeAttribute(href) + "\" lang=\"" + languageCode(lang) + "\" hreflang=\"" +
                    languageCode(lang) + "\">" + escapeHtml(name) + "</a>";
    }
    return html + "</nav>";
}

}  // namespace

std::string pathUrl(const std::string& path) {
    std::string url;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        url += escapeUrlComponent(path.substr(start, slash - start));
        if (slash < path.size()) url += '/';
        start = slash + 1;
    }
    return url.empty() ? "/" : url;
}

void addSafetyHeaders(Reply& reply) {
    reply.headers.emplace_back("Content-Security-Policy", contentSecurityPolicy);
    reply.headers.emplace_back("X-Content-Type-Options", "nosniff");
    reply.headers.emplace_back("X-Frame-Options", "DENY");
    reply.headers.emplace_back("Referrer-Policy", "same-origin");
}

Reply renderPage(const Request& request, Lang lang, const PageContent& content) {
    const char* code = languageCode(lang);
    std::string html;
    html.reserve(content.mainHtml.size() + 2048);
    html += "<!DOCTYPE html>\n<html lang=\"";
    html += code;
    html += "\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    html += escapeHtml(content.title) + " · Lumen News</title>\n";
    html += "<link rel=\"stylesheet\" href=\"" + std::string(stylesheetPath) + "\">\n</head>\n<body>\n";
    html += "<header class=\"top\"><div class=\"wrap\">\n<a class=\"brand\" href=\"/\">Lumen News</a>\n";
    html += "<p class=\"tagline\">" + escapeHtml(say(Text::Tagline, lang)) + "</p>\n";
    html += languageSwitch(request, lang) + "\n";
    html += "<nav class=\"sections\">";
    for (const NavEntry& entry : publicNav) {
        html += "<a href=\"" + std::string(entry.path) + "\"";
        if (entry.section == content.section) html += " aria-current=\"page\"";
        html += ">" + escapeHtml(say(entry.label, lang)) + "</a>";
    }
    html += "</nav>\n</div></header>\n";
    html += "<main class=\"wrap\">\n" + content.mainHtml + "</main>\n";
    html += "<footer class=\"wrap\"><p>" + escapeHtml(say(Text::Footer, lang)) + " <a href=\"/admin\">" +
            escapeHtml(say(Text::Operator, lang)) + "</a></p></footer>\n</body>\n</html>\n";

    Reply reply;
    reply.status = content.status;
    reply.contentType = "text/html; charset=UTF-8";
    reply.body = std::make_shared<const std::string>(std::move(html));
    addSafetyHeaders(reply);
    if (content.private_) reply.headers.emplace_back("Cache-Control", "no-store");
    std::string asked = request.query.get("lang");
    if (!asked.empty() && languageOf(asked, Lang::En) == lang && asked == code)
        reply.headers.emplace_back("Set-Cookie", setCookie(request, languageCookie, code, languageCookieSeconds));
    return reply;
}

Reply redirectTo(const std::string& location) {
    Reply reply;
    reply.status = 303;
    reply.contentType = "text/plain; charset=UTF-8";
    reply.body = std::make_shared<const std::string>("See " + location + "\n");
    reply.headers.emplace_back("Location", location);
    addSafetyHeaders(reply);
    return reply;
}

}  // namespace srv::web
