#include "server/web/public_pages.h"

#include "server/store.h"
#include "server/web/escape.h"
#include "server/web/formats.h"
#include "server/web/page_frame.h"

namespace srv::web {

namespace {

constexpr size_t homeNews = 5;
constexpr int homeShouts = 8;

std::string newsUrl(int64_t id) { return "/news/" + std::to_string(id); }

}  // namespace

std::string PublicPages::statisticsHtml(const Statistics& stats, Lang lang) {
    // Long values (titles, names) go below their label.
    auto row = [&](Text label, const std::string& valueHtml, bool long_ = false) {
        const char* cls = long_ ? " class=\"long\"" : "";
        return "<dt" + std::string(cls) + ">" + escapeHtml(say(label, lang)) + "</dt><dd" + cls + ">" + valueHtml +
               "</dd>\n";
    };
    const Totals& t = stats.totals;
    std::string html = "<dl class=\"stats\">\n";
    html += row(Text::PluginRequests, std::to_string(stats.pluginRequests));
    html += row(Text::VisitorsToday, std::to_string(stats.visitorsToday));
    html += row(Text::NewsCount, std::to_string(t.news));
    html += row(Text::FilesCount, std::to_string(t.files));
    html += row(Text::ShoutsCount, std::to_string(t.shouts));
    if (!t.topNews.empty())
        html += row(Text::TopNews, lineOf(t.topNews) + " <span class=\"when\">(" + std::to_string(t.topNewsReads) + " " +
                                       escapeHtml(say(Text::Reads, lang)) + ")</span>",
                    true);
    if (!t.topFile.empty())
        html += row(Text::TopFile, escapeHtml(t.topFile) + " <span class=\"when\">(" +
                                       std::to_string(t.topFileDownloads) + " " +
                                       escapeHtml(say(Text::DownloadCount, lang)) + ")</span>",
                    true);
    return html + "</dl>\n";
}

std::string PublicPages::shoutListHtml(const std::vector<Shout>& shouts) {
    std::string html = "<ul class=\"plain shouts\">\n";
    for (const Shout& s : shouts) {
        html += "<li><span class=\"nick\">" + escapeHtml(decodeEntities(s.nick)) + "</span> <time>" + escapeHtml(localTime(s.posted)) +
                "</time><br>" + escapeHtml(decodeEntities(s.message)) + "</li>\n";
    }
    return html + "</ul>\n";
}

std::string PublicPages::newsCards(const std::string& feed, Lang lang, size_t limit) {
    std::string key = "news-" + feed + "-" + languageCode(lang) + "-" + std::to_string(limit);
    return *context.fragments.get(key, [&] {
        std::string html;
        auto news = context.store.news(feed);
        if (news.empty()) return "<p>" + escapeHtml(say(Text::NoNews, lang)) + "</p>\n";
        for (size_t i = 0; i < news.size() && i < limit; ++i) {
            const Article& a = news[i];
            html += "<article class=\"card\"><h3><a href=\"" + newsUrl(a.id) + "\">" + lineOf(a.title) + "</a></h3>\n";
            html += "<p class=\"meta\">" + escapeHtml(articleTime(a.posted, a.utcOffset)) + " · " +
                    escapeHtml(say(Text::By, lang)) + " " + lineOf(a.author) + "</p>\n";
            html += paragraphsHtml(plainTextOf(a.summary));
            html += "<p class=\"more\"><a href=\"" + newsUrl(a.id) + "\">" + escapeHtml(say(Text::ReadMore, lang)) +
                    " →</a></p></article>\n";
        }
        return html;
    });
}

Reply PublicPages::home(const Request& request, Lang lang) {
    PageContent page;
    page.title = say(Text::Home, lang);
    page.section = Section::Home;
    std::string& html = page.mainHtml;
    html += "<div class=\"columns\">\n<section>\n<h1>" + escapeHtml(say(Text::LatestNews, lang)) + "</h1>\n";
    html += newsCards(newsLanguage(lang), lang, homeNews);
    html += "<p class=\"more\"><a href=\"/news\">" + escapeHtml(say(Text::BackToNews, lang)) + " →</a></p>\n";
    html += "</section>\n<aside>\n<h2>" + escapeHtml(say(Text::LatestShouts, lang)) + "</h2>\n<div class=\"card\">\n";
    html += *context.fragments.get("home-shouts", [&] { return shoutListHtml(context.store.latestShouts(homeShouts)); });
    html += "<p class=\"more\"><a href=\"/shouts\">" + escapeHtml(say(Text::AllShouts, lang)) + " →</a></p></div>\n";
    html += "<h2>" + escapeHtml(say(Text::Statistics, lang)) + "</h2>\n<div class=\"card\">\n" +
            statisticsHtml(context.site.currentStatistics(), lang) + "</div>\n</aside>\n</div>\n";
    return renderPage(request, lang, page);
}

Reply PublicPages::newsList(const Request& request, Lang lang) {
    std::string feed = request.query.get("feed");
    if (feed != "en" && feed != "it") feed = newsLanguage(lang);
    PageContent page;
    page.title = say(Text::News, lang);
    page.section = Section::News;
    std::string& html = page.mainHtml;
    html += "<h1>" + escapeHtml(say(Text::News, lang)) + "</h1>\n<nav class=\"tabs\">";
    for (const auto& [code, label] : {std::pair<const char*, Text>{"en", Text::NewsInEnglish}, {"it", Text::NewsInItalian}}) {
        html += "<a href=\"/news?feed=" + std::string(code) + "\"" + (feed == code ? " aria-current=\"page\"" : "") +
                ">" + escapeHtml(say(label, lang)) + "</a>";
    }
    html += "</nav>\n" + newsCards(feed, lang, static_cast<size_t>(-1));
    return renderPage(request, lang, page);
}

Reply PublicPages::article(const Request& request, Lang lang, int64_t id) {
    auto found = context.store.article(id);
    if (!found) return notFoundPage(request, lang);
    const Article& a = *found;
    PageContent page;
    page.title = plainTextOf(a.title);
    page.section = Section::News;
    std::string& html = page.mainHtml;
    html += "<article class=\"article\" lang=\"" + escapeAttribute(a.lang) + "\">\n<h1>" + lineOf(a.title) + "</h1>\n";
    html += "<p class=\"meta\">" + escapeHtml(articleTime(a.posted, a.utcOffset)) + " · " +
            escapeHtml(say(Text::By, lang)) + " " + lineOf(a.author) + " · " + std::to_string(a.reads) + " " +
            escapeHtml(say(Text::Reads, lang)) + "</p>\n";
    html += paragraphsHtml(plainTextOf(a.body)) + "</article>\n";
    html += "<p class=\"more\"><a href=\"/news?feed=" + escapeUrlComponent(a.lang) + "\">← " +
            escapeHtml(say(Text::BackToNews, lang)) + "</a></p>\n";
    return renderPage(request, lang, page);
}

Reply PublicPages::statistics(const Request& request, Lang lang) {
    PageContent page;
    page.title = say(Text::Statistics, lang);
    page.section = Section::Statistics;
    page.mainHtml = "<h1>" + escapeHtml(say(Text::Statistics, lang)) + "</h1>\n<div class=\"card\">\n" +
                    statisticsHtml(context.site.currentStatistics(), lang) + "</div>\n";
    return renderPage(request, lang, page);
}

Reply notFoundPage(const Request& request, Lang lang) {
    PageContent page;
    page.title = "404";
    page.status = 404;
    page.mainHtml = "<h1>404</h1>\n<p>" + escapeHtml(say(Text::NotFound, lang)) + "</p>\n<p><a href=\"/\">" +
                    escapeHtml(say(Text::Home, lang)) + "</a></p>\n";
    return renderPage(request, lang, page);
}

}  // namespace srv::web
