#include "server/web/news_editor.h"

#include <ctime>

#include "server/store.h"
#include "server/text_codec.h"
#include "server/web/escape.h"
#include "server/web/formats.h"
#include "server/web/page_frame.h"
#include "server/web/public_pages.h"

namespace srv::web {

namespace {

// As for the content tools: titles and authors one line of text.
constexpr size_t maxLineBytes = 200;

bool usableLine(const std::string& text) {
    return !text.empty() && text.size() <= maxLineBytes && validUtf8(text) && !hasControlBytes(text);
}

// Minutes east of UTC on this machine now, for the shown date of a new item.
int localOffsetMinutes() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return static_cast<int>(tm.tm_gmtoff / 60);
}

std::string textInput(const char* name, Text label, const std::string& value, Lang lang, bool required) {
    return "<label for=\"" + std::string(name) + "\">" + escapeHtml(say(label, lang)) + "</label>\n<input type=\"text\" id=\"" +
           name + "\" name=\"" + name + "\" maxlength=\"" + std::to_string(maxLineBytes) + "\" value=\"" +
           escapeAttribute(value) + "\"" + (required ? " required" : "") + ">\n";
}

}  // namespace

Reply NewsEditor::list(const OperatorCall& call) {
    Lang lang = call.lang;
    std::string html = "<h1>" + escapeHtml(say(Text::News, lang)) + "</h1>\n";
    if (call.request.query.get("done") == "1") html += noticeHtml(Text::Done, lang, true);
    html += "<p><a class=\"button\" href=\"/admin/news/new\">" + escapeHtml(say(Text::NewNews, lang)) + "</a></p>\n";
    for (const auto& [feed, label] : {std::pair<const char*, Text>{"en", Text::NewsInEnglish}, {"it", Text::NewsInItalian}}) {
        html += "<h2>" + escapeHtml(say(label, lang)) + "</h2>\n<div class=\"card table\"><table>\n";
        for (const Article& a : context.store.news(feed)) {
            html += "<tr><td class=\"when\">" + escapeHtml(articleTime(a.posted, a.utcOffset)) + "</td><td><a href=\"/admin/news/" +
                    std::to_string(a.id) + "\">" + lineOf(a.title) + "</a></td><td class=\"num\">" +
                    std::to_string(a.reads) + "</td><td><form class=\"inline\" method=\"post\" action=\"/admin/news/delete\">" +
                    csrfField(call) + "<input type=\"hidden\" name=\"id\" value=\"" + std::to_string(a.id) +
                    "\"><button class=\"danger\" type=\"submit\">" + escapeHtml(say(Text::Delete, lang)) +
                    "</button></form></td></tr>\n";
        }
        html += "</table></div>\n";
    }
    return adminPage(call, AdminTab::News, say(Text::News, lang), html);
}

Reply NewsEditor::editor(const OperatorCall& call, int64_t id) {
    Draft draft;
    if (id != 0) {
        auto found = context.store.article(id);
        if (!found) return notFoundPage(call.request, call.lang);
        draft.id = found->id;
        draft.lang = found->lang;
        // Titles and summaries are kept as HTML; the form shows the text.
        draft.title = plainTextOf(found->title);
        draft.author = plainTextOf(found->author);
        draft.summary = plainTextOf(found->summary);
        draft.body = found->body;
    }
    return editorPage(call, draft, "", 200);
}

Reply NewsEditor::editorPage(const OperatorCall& call, const Draft& d, const std::string& aboveHtml, int status) {
    Lang lang = call.lang;
    std::string heading = d.id ? say(Text::Edit, lang) + std::string(" #") + std::to_string(d.id) : say(Text::NewNews, lang);
    std::string html = "<h1>" + escapeHtml(heading) + "</h1>\n" + aboveHtml;
    html += "<form class=\"stack card\" method=\"post\" action=\"/admin/news/save\">\n" + csrfField(call) +
            "<input type=\"hidden\" name=\"id\" value=\"" + std::to_string(d.id) + "\">\n";
    html += "<label for=\"lang\">" + escapeHtml(say(Text::Language, lang)) + "</label>\n<select id=\"lang\" name=\"lang\">";
    for (const auto& [code, label] : {std::pair<const char*, Text>{"en", Text::NewsInEnglish}, {"it", Text::NewsInItalian}})
        html += "<option value=\"" + std::string(code) + "\"" + (d.lang == code ? " selected" : "") + ">" +
                escapeHtml(say(label, lang)) + "</option>";
    html += "</select>\n";
    html += textInput("title", Text::Title, d.title, lang, true);
    html += textInput("author", Text::Author, d.author, lang, true);
    html += "<label for=\"summary\">" + escapeHtml(say(Text::Summary, lang)) +
            "</label>\n<input type=\"text\" id=\"summary\" name=\"summary\" value=\"" + escapeAttribute(d.summary) + "\">\n";
    html += "<label for=\"body\">" + escapeHtml(say(Text::BodyHtml, lang)) + "</label>\n<textarea id=\"body\" name=\"body\">" +
            escapeHtml(d.body) + "</textarea>\n";
    html += "<div class=\"buttons\"><button class=\"secondary\" type=\"submit\" name=\"do\" value=\"preview\">" +
            escapeHtml(say(Text::Preview, lang)) + "</button><button type=\"submit\" name=\"do\" value=\"save\">" +
            escapeHtml(say(Text::Save, lang)) + "</button></div>\n</form>\n";
    return adminPage(call, AdminTab::News, heading, html, status);
}

Reply NewsEditor::save(const OperatorCall& call) {
    Draft d;
    d.id = idOf(call.field("id"));
    d.lang = call.field("lang") == "it" ? "it" : "en";
    d.title = call.field("title");
    d.author = call.field("author");
    d.summary = call.field("summary");
    d.body = call.field("body");
    Lang lang = call.lang;
    bool usable = usableLine(d.title) && usableLine(d.author) && validUtf8(d.summary) && validUtf8(d.body);
    if (!usable) return editorPage(call, d, noticeHtml(Text::NeedTitle, lang, false), 422);
    // Kept as the content tools keep them: typed texts as HTML.
    Article a;
    if (d.id != 0) {
        auto found = context.store.article(d.id);
        if (!found) return notFoundPage(call.request, lang);
        a = *found;
    } else {
        a.posted = static_cast<int64_t>(std::time(nullptr));
        a.utcOffset = localOffsetMinutes();
    }
    a.lang = d.lang;
    a.title = htmlEscape(d.title);
    a.author = htmlEscape(d.author);
    a.summary = htmlEscape(d.summary);
    a.body = d.body;
    if (call.field("do") != "save") {
        std::string preview = "<div class=\"preview\"><p class=\"hint\">" + escapeHtml(say(Text::PreviewNote, lang)) +
                              "</p>\n<h2>" + lineOf(a.title) + "</h2>\n<p class=\"meta\">" +
                              escapeHtml(articleTime(a.posted, a.utcOffset)) + " · " + escapeHtml(say(Text::By, lang)) +
                              " " + lineOf(a.author) + "</p>\n" + paragraphsHtml(plainTextOf(a.summary)) + "<hr>\n" +
                              paragraphsHtml(plainTextOf(a.body)) + "</div>\n";
        return editorPage(call, d, preview, 200);
    }
    if (d.id != 0) {
        context.store.updateArticle(a);
        logAction(context, call.request, "changed news " + std::to_string(a.id) + " (" + a.lang + "): " + d.title);
    } else {
        a.id = context.store.addArticle(a);
        logAction(context, call.request, "added news " + std::to_string(a.id) + " (" + a.lang + "): " + d.title);
    }
    context.site.storeChanged();
    return redirectTo("/admin/news?done=1");
}

Reply NewsEditor::remove(const OperatorCall& call) {
    int64_t id = idOf(call.field("id"));
    if (context.store.deleteArticle(id)) {
        logAction(context, call.request, "deleted news " + std::to_string(id));
        context.site.storeChanged();
    }
    return redirectTo("/admin/news?done=1");
}

}  // namespace srv::web
