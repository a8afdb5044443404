#include "server/web/operator_call.h"

#include <ctime>

#include "server/store.h"
#include "server/web/escape.h"
#include "server/web/page_frame.h"

namespace srv::web {

namespace {

struct TabEntry {
    AdminTab tab;
    const char* path;
    Text label;
};

const TabEntry tabs[] = {
    {AdminTab::Overview, "/admin", Text::Overview}, {AdminTab::Shouts, "/admin/shouts", Text::ShoutsCount},
    {AdminTab::News, "/admin/news", Text::News},     {AdminTab::Files, "/admin/files", Text::Downloads},
    {AdminTab::Log, "/admin/log", Text::OperatorLog},
};

}  // namespace

std::string csrfField(const OperatorCall& call) {
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + escapeAttribute(call.csrf) + "\">";
}

std::string noticeHtml(Text text, Lang lang, bool ok) {
    return std::string("<p class=\"notice ") + (ok ? "ok\" role=\"status\">" : "error\" role=\"alert\">") +
           escapeHtml(say(text, lang)) + "</p>\n";
}

Reply adminPage(const OperatorCall& call, AdminTab tab, const std::string& title, const std::string& mainHtml,
                int status) {
    PageContent page;
    page.title = title;
    page.section = Section::Operator;
    page.status = status;
    page.private_ = true;
    std::string& html = page.mainHtml;
    html += "<nav class=\"tabs\">";
    for (const TabEntry& entry : tabs) {
        html += "<a href=\"" + std::string(entry.path) + "\"" + (entry.tab == tab ? " aria-current=\"page\"" : "") +
                ">" + escapeHtml(say(entry.label, call.lang)) + "</a>";
    }
    html += "<form class=\"inline\" method=\"post\" action=\"/admin/logout\">" + csrfField(call) +
            "<button class=\"secondary\" type=\"submit\">" + escapeHtml(say(Text::LogOut, call.lang)) +
            "</button></form></nav>\n";
    html += mainHtml;
    return renderPage(call.request, call.lang, page);
}

void logAction(WebContext& context, const Request& request, const std::string& action) {
    OperatorAction entry;
    entry.at = static_cast<int64_t>(std::time(nullptr));
    entry.address = request.address;
    entry.action = action;
    context.store.logOperatorAction(entry);
}

int64_t idOf(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoll(text);
}

}  // namespace srv::web
