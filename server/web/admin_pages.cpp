#include "server/web/admin_pages.h"

#include "server/site_paths.h"
#include "server/store.h"
#include "server/text_codec.h"
#include "server/web/admin_password.h"
#include "server/web/cookies.h"
#include "server/web/day_chart.h"
#include "server/web/escape.h"
#include "server/web/formats.h"
#include "server/web/page_frame.h"
#include "server/web/public_pages.h"

namespace srv::web {

namespace {

constexpr int listedShouts = 200;
constexpr int overviewLogLines = 10;
constexpr int listedLogLines = 500;

// Nicknames typed by the operator: as long as a ban key may sensibly be.
constexpr size_t maxTypedNickBytes = 64;

std::string deleteButton(const OperatorCall& call, const std::string& action, const std::string& field,
                         const std::string& value, Text label) {
    return "<form class=\"inline\" method=\"post\" action=\"" + action + "\">" + csrfField(call) +
           "<input type=\"hidden\" name=\"" + field + "\" value=\"" + escapeAttribute(value) +
           "\"><button class=\"danger\" type=\"submit\">" + escapeHtml(say(label, call.lang)) + "</button></form>";
}

std::string logTable(const std::vector<OperatorAction>& lines, Lang lang) {
    std::string html = "<div class=\"card table\"><table>\n<tr><th>" + escapeHtml(say(Text::Time, lang)) + "</th><th>" +
                       escapeHtml(say(Text::Address, lang)) + "</th><th>" + escapeHtml(say(Text::Action, lang)) +
                       "</th></tr>\n";
    for (const OperatorAction& line : lines) {
        html += "<tr><td>" + escapeHtml(localTime(line.at)) + "</td><td>" + escapeHtml(line.address) + "</td><td>" +
                escapeHtml(line.action) + "</td></tr>\n";
    }
    return html + "</table></div>\n";
}

}  // namespace

Reply AdminPages::answer(const Request& request, Lang lang) {
    const std::string& path = request.path;
    if (path == "/admin/login") {
        if (request.method == "POST") return login(request, lang);
        return loginPage(request, lang, "", 200);
    }
    auto csrf = sessions.csrfOf(cookieValue(request, sessionCookie));
    if (!csrf) {
        if (request.method == "POST") return loginPage(request, lang, noticeHtml(Text::FormExpired, lang, false), 403);
        return redirectTo("/admin/login");
    }
    OperatorCall call{request, lang, *csrf, Query(), MultipartForm(), false};
    if (request.method == "POST") return posted(call);
    if (path == "/admin" || path == "/admin/") return overview(call);
    if (path == "/admin/shouts") return shouts(call);
    if (path == "/admin/log") return operatorLog(call);
    if (path == "/admin/news") return news.list(call);
    if (path == "/admin/news/new") return news.editor(call, 0);
    if (int64_t id = path.rfind("/admin/news/", 0) == 0 ? idOf(path.substr(12)) : 0) return news.editor(call, id);
    if (path == "/admin/files") return files.list(call);
    return notFoundPage(request, lang);
}

Reply AdminPages::posted(OperatorCall& call) {
    const Request& request = call.request;
    std::string contentType(request.header("content-type"));
    if (!multipartBoundary(contentType).empty()) {
        MultipartLimits limits;
        limits.maxFileBytes = context.settings.uploadMaxBytes;
        MultipartError error = call.upload.parse(contentType, request.body, limits);
        if (error != MultipartError::None) {
            Text why = error == MultipartError::FileTooLarge ? Text::UploadTooLarge : Text::UploadFailed;
            return adminPage(call, AdminTab::Files, say(why, call.lang), noticeHtml(why, call.lang, false), 400);
        }
        call.multipart = true;
    } else {
        call.form = Query(request.body);
    }
    if (!sameToken(call.field("csrf"), call.csrf)) {
        logAction(context, request, "refused a form without its token: " + request.path);
        return adminPage(call, AdminTab::Overview, say(Text::FormExpired, call.lang),
                         noticeHtml(Text::FormExpired, call.lang, false), 403);
    }
    const std::string& path = request.path;
    if (path == "/admin/logout") return logout(call);
    if (path.rfind("/admin/shouts/", 0) == 0) return shoutAction(call, path.substr(14));
    if (path == "/admin/news/save") return news.save(call);
    if (path == "/admin/news/delete") return news.remove(call);
    if (path == uploadPath) return files.upload(call);
    if (path == "/admin/files/remove") return files.remove(call);
    return notFoundPage(request, call.lang);
}

Reply AdminPages::loginPage(const Request& request, Lang lang, const std::string& notice, int status) {
    const FormToken token = formTokenOf(request);
    PageContent page;
    page.title = say(Text::Login, lang);
    page.section = Section::Operator;
    page.status = status;
    page.private_ = true;
    page.mainHtml = "<h1>" + escapeHtml(say(Text::Login, lang)) + "</h1>\n" + notice +
                    "<form class=\"stack card\" method=\"post\" action=\"/admin/login\">\n"
                    "<input type=\"hidden\" name=\"token\" value=\"" + escapeAttribute(token.value) + "\">\n"
                    "<label for=\"password\">" + escapeHtml(say(Text::Password, lang)) + "</label>\n"
                    "<input type=\"password\" id=\"password\" name=\"password\" required autocomplete=\"current-password\">\n"
                    "<div class=\"buttons\"><button type=\"submit\">" + escapeHtml(say(Text::LogIn, lang)) +
                    "</button></div>\n</form>\n";
    Reply reply = renderPage(request, lang, page);
    keepFormToken(request, token, reply);
    return reply;
}

Reply AdminPages::login(const Request& request, Lang lang) {
    Query form(request.body);
    if (!formTokenMatches(request, form.get("token")))
        return loginPage(request, lang, noticeHtml(Text::FormExpired, lang, false), 403);
    // Refused tries are not logged: the log must not grow with an attack.
    if (!throttle.mayTry(request.address)) {
        return loginPage(request, lang, noticeHtml(Text::TooManyTries, lang, false), 429);
    }
    std::string hash = context.store.setting(passwordSetting);
    if (hash.empty()) return loginPage(request, lang, noticeHtml(Text::NoPassword, lang, false), 403);
    if (!verifyPassword(hash, form.get("password"))) {
        throttle.failed(request.address);
        logAction(context, request, "failed login");
        return loginPage(request, lang, noticeHtml(Text::WrongPassword, lang, false), 403);
    }
    throttle.succeeded(request.address);
    logAction(context, request, "logged in");
    Reply reply = redirectTo("/admin");
    reply.headers.emplace_back("Set-Cookie", setCookie(request, sessionCookie, sessions.open()));
    return reply;
}

Reply AdminPages::logout(const OperatorCall& call) {
    sessions.close(cookieValue(call.request, sessionCookie));
    logAction(context, call.request, "logged out");
    Reply reply = redirectTo("/admin/login");
    reply.headers.emplace_back("Set-Cookie", setCookie(call.request, sessionCookie, "", 0));
    return reply;
}

Reply AdminPages::overview(const OperatorCall& call) {
    DaySeries series;
    series.days = daysUpTo(visitorDay(), chartDays);
    if (!series.days.empty()) {
        series.requests = onDays(series.days, context.store.dayCounts(pluginRequestCounter, series.days.front()));
        series.posts = onDays(series.days, context.store.dayCounts(postsDayCounter, series.days.front()));
    }
    Lang lang = call.lang;
    std::string html = "<h1>" + escapeHtml(say(Text::Overview, lang)) + "</h1>\n";
    html += "<div class=\"columns\"><section><figure class=\"card chart\">\n" + dayChartSvg(series, lang) +
            "<figcaption class=\"hint\">" + escapeHtml(say(Text::ChartCaption, lang)) + "</figcaption></figure>\n";
    html += "<h2>" + escapeHtml(say(Text::OperatorLog, lang)) + "</h2>\n" +
            logTable(context.store.operatorLog(overviewLogLines), lang) + "</section>\n";
    html += "<aside><h2>" + escapeHtml(say(Text::Statistics, lang)) + "</h2><div class=\"card\">" +
            PublicPages::statisticsHtml(context.site.currentStatistics(), lang) + "</div></aside></div>\n";
    return adminPage(call, AdminTab::Overview, say(Text::Overview, lang), html);
}

Reply AdminPages::shouts(const OperatorCall& call) {
    Lang lang = call.lang;
    std::string html = "<h1>" + escapeHtml(say(Text::ShoutsCount, lang)) + "</h1>\n";
    if (call.request.query.get("done") == "1") html += noticeHtml(Text::Done, lang, true);
    html += "<div class=\"card\">\n<form class=\"row\" method=\"post\" action=\"/admin/shouts/delete-nick\">" +
            csrfField(call) + "<input type=\"text\" name=\"nick\" required maxlength=\"64\" aria-label=\"" +
            escapeAttribute(say(Text::Nickname, lang)) + "\" placeholder=\"" + escapeAttribute(say(Text::Nickname, lang)) +
            "\"><button type=\"submit\">" + escapeHtml(say(Text::DeleteByNick, lang)) + "</button></form>\n";
    html += "<form class=\"row\" method=\"post\" action=\"/admin/shouts/ban\">" + csrfField(call) +
            "<input type=\"text\" name=\"nick\" id=\"ban-nick\" required maxlength=\"64\" aria-label=\"" +
            escapeAttribute(say(Text::Nickname, lang)) + "\" placeholder=\"" + escapeAttribute(say(Text::Nickname, lang)) +
            "\"><button type=\"submit\">" + escapeHtml(say(Text::Ban, lang)) + "</button></form>\n</div>\n";
    html += "<h2>" + escapeHtml(say(Text::BannedNicks, lang)) + "</h2>\n<div class=\"card\"><ul class=\"plain shouts\">\n";
    for (const std::string& nick : context.store.bans())
        html += "<li><span class=\"nick\">" + escapeHtml(nick) + "</span> " +
                deleteButton(call, "/admin/shouts/unban", "nick", nick, Text::Unban) + "</li>\n";
    html += "</ul></div>\n<h2>" + escapeHtml(say(Text::LatestShouts, lang)) + "</h2>\n";
    html += "<div class=\"card table\"><table>\n<tr><th>" + escapeHtml(say(Text::Time, lang)) + "</th><th>" +
            escapeHtml(say(Text::Nickname, lang)) + "</th><th>" + escapeHtml(say(Text::Message, lang)) + "</th><th>" +
            escapeHtml(say(Text::Address, lang)) + "</th><th></th></tr>\n";
    for (const Shout& s : context.store.latestShouts(listedShouts)) {
        html += "<tr id=\"shout-" + std::to_string(s.id) + "\"><td class=\"when\">" + escapeHtml(localTime(s.posted)) +
                "</td><td class=\"nick\">" + escapeHtml(s.nick) + "</td><td>" + escapeHtml(s.message) + "</td><td>" +
                escapeHtml(s.address) + "</td><td>" +
                deleteButton(call, "/admin/shouts/delete", "id", std::to_string(s.id), Text::Delete) + "</td></tr>\n";
    }
    html += "</table></div>\n";
    return adminPage(call, AdminTab::Shouts, say(Text::ShoutsCount, lang), html);
}

Reply AdminPages::shoutAction(const OperatorCall& call, const std::string& action) {
    std::string nick = call.field("nick");
    if (nick.size() > maxTypedNickBytes || !validUtf8(nick) || hasControlBytes(nick)) nick.clear();
    std::string what;
    if (action == "delete") {
        int64_t id = idOf(call.field("id"));
        if (context.store.deleteShout(id)) what = "deleted shout " + std::to_string(id);
    } else if (action == "delete-nick" && !nick.empty()) {
        what = "deleted " + std::to_string(context.store.deleteShoutsBy(nick)) + " shouts of " + nick;
    } else if (action == "ban" && !nick.empty()) {
        if (context.store.ban(nick)) what = "banned " + nick;
    } else if (action == "unban" && !nick.empty()) {
        if (context.store.unban(nick)) what = "unbanned " + nick;
    } else {
        return notFoundPage(call.request, call.lang);
    }
    if (!what.empty()) {
        logAction(context, call.request, what);
        context.site.storeChanged();
    }
    return redirectTo("/admin/shouts?done=1");
}

Reply AdminPages::operatorLog(const OperatorCall& call) {
    return adminPage(call, AdminTab::Log, say(Text::OperatorLog, call.lang),
                     "<h1>" + escapeHtml(say(Text::OperatorLog, call.lang)) + "</h1>\n" +
                         logTable(context.store.operatorLog(listedLogLines), call.lang));
}

}  // namespace srv::web
