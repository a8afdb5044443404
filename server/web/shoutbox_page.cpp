#include "server/web/shoutbox_page.h"

#include "server/store.h"
#include "server/web/cookies.h"
#include "server/web/escape.h"
#include "server/web/operator_sessions.h"
#include "server/web/page_frame.h"
#include "server/web/public_pages.h"

namespace srv::web {

namespace {

constexpr int listedShouts = shownShouts;

}  // namespace

Reply ShoutboxPage::page(const Request& request, Lang lang, const std::string& noticeHtml, const std::string& nick,
                         const std::string& message, int status) {
    const FormToken token = formTokenOf(request);

    PageContent content;
    content.title = say(Text::Shoutbox, lang);
    content.section = Section::Shoutbox;
    content.status = status;
    std::string& html = content.mainHtml;
    html += "<h1>" + escapeHtml(say(Text::Shoutbox, lang)) + "</h1>\n" + noticeHtml;
    html += "<div class=\"columns form-first\">\n<form class=\"stack card\" method=\"post\" action=\"/shouts\">\n";
    html += "<input type=\"hidden\" name=\"token\" value=\"" + escapeAttribute(token.value) + "\">\n";
    html += "<label for=\"nick\">" + escapeHtml(say(Text::Nickname, lang)) + "</label>\n";
    html += "<input type=\"text\" id=\"nick\" name=\"nick\" maxlength=\"" + std::to_string(maxNickChars) +
            "\" placeholder=\"Guest\" autocomplete=\"nickname\" value=\"" + escapeAttribute(nick) + "\">\n";
    html += "<label for=\"message\">" + escapeHtml(say(Text::Message, lang)) + "</label>\n";
    html += "<input type=\"text\" id=\"message\" name=\"message\" required maxlength=\"" +
            std::to_string(maxMessageChars) + "\" value=\"" + escapeAttribute(message) + "\">\n";
    html += "<p class=\"hint\">" + escapeHtml(say(Text::ShoutHint, lang)) + "</p>\n";
    html += "<div class=\"buttons\"><button type=\"submit\">" + escapeHtml(say(Text::Send, lang)) +
            "</button></div>\n</form>\n";
    html += "<div class=\"card\">\n" +
            *context.fragments.get("shout-list",
                                   [&] { return PublicPages::shoutListHtml(context.store.latestShouts(listedShouts)); }) +
            "</div>\n</div>\n";
    Reply reply = renderPage(request, lang, content);
    reply.headers.emplace_back("Cache-Control", "no-store");
    keepFormToken(request, token, reply);
    return reply;
}

Reply ShoutboxPage::show(const Request& request, Lang lang) {
    std::string notice;
    if (request.query.get("posted") == "1")
        notice = "<p class=\"notice ok\" role=\"status\">" + escapeHtml(say(Text::ShoutStored, lang)) + "</p>\n";
    return page(request, lang, notice, "", "", 200);
}

void ShoutboxPage::post(const Request& request, Lang lang, const Respond& respond) {
    Query form(request.body);
    Shout shout;
    shout.nick = form.get("nick");
    shout.message = form.get("message");
    shout.address = request.address;
    if (!formTokenMatches(request, form.get("token"))) {
        respond(refusal(request, lang, Text::FormExpired, shout, 403));
        return;
    }
    // The verdict may come later, from another thread: everything the
    // answer needs is copied in.
    context.site.postShout(shout, [this, request, lang, shout, respond](ShoutVerdict verdict) {
        if (verdict == ShoutVerdict::Stored) {
            respond(redirectTo("/shouts?posted=1"));
            return;
        }
        const int status = verdict == ShoutVerdict::TooSoon     ? 429
                           : verdict == ShoutVerdict::NotStored ? 503
                                                                : 422;
        respond(refusal(request, lang, verdictText(verdict), shout, status));
    });
}

Reply ShoutboxPage::refusal(const Request& request, Lang lang, Text why, const Shout& shout, int status) {
    return page(request, lang, "<p class=\"notice error\" role=\"alert\">" + escapeHtml(say(why, lang)) + "</p>\n",
                shout.nick, shout.message, status);
}

}  // namespace srv::web
