// The shoutbox for browsers: the shouts boxes read, and a form that posts
// through the same checks as a box's post.
#pragma once
#include "server/site.h"
#include "server/web/web_context.h"
#include "server/web/web_texts.h"

namespace srv::web {

class ShoutboxPage {
public:
    explicit ShoutboxPage(WebContext& context) : context(context) {}

    Reply show(const Request& request, Lang lang);
    // A post: back to the list when stored, else the page saying why.
    void post(const Request& request, Lang lang, const Respond& respond);

private:
    Reply page(const Request& request, Lang lang, const std::string& noticeHtml, const std::string& nick,
               const std::string& message, int status);
    Reply refusal(const Request& request, Lang lang, Text why, const Shout& shout, int status);

    WebContext& context;
};

}  // namespace srv::web
