// The operator's pages under /admin: login and logout, the overview with
// the statistics and the chart, moderation of shouts and bans, the log;
// news and files through their own editors. Every change is written to
// the operator's log with its time and address.
#pragma once
#include "server/site.h"
#include "server/web/file_manager.h"
#include "server/web/news_editor.h"
#include "server/web/operator_call.h"
#include "server/web/operator_sessions.h"
#include "server/web/web_context.h"

namespace srv::web {

class AdminPages {
public:
    explicit AdminPages(WebContext& context) : context(context), news(context), files(context) {}

    // Everything under /admin.
    Reply answer(const Request& request, Lang lang);

private:
    Reply loginPage(const Request& request, Lang lang, const std::string& noticeHtml, int status);
    Reply login(const Request& request, Lang lang);
    Reply logout(const OperatorCall& call);
    Reply overview(const OperatorCall& call);
    Reply shouts(const OperatorCall& call);
    Reply shoutAction(const OperatorCall& call, const std::string& action);
    Reply operatorLog(const OperatorCall& call);
    // A POST of the operator: its form read and its CSRF token checked.
    Reply posted(OperatorCall& call);

    WebContext& context;
    OperatorSessions sessions;
    LoginThrottle throttle;
    NewsEditor news;
    FileManager files;
};

}  // namespace srv::web
