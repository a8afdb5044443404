// One request of the logged-in operator: its form fields (URL-encoded or
// multipart), the session's CSRF token, and the frame of the operator's
// pages around what a page shows.
#pragma once
#include <string>

#include "server/query.h"
#include "server/site.h"
#include "server/web/multipart_form.h"
#include "server/web/web_context.h"
#include "server/web/web_texts.h"

namespace srv::web {

enum class AdminTab { Overview, Shouts, News, Files, Log };

struct OperatorCall {
    const Request& request;
    Lang lang;
    std::string csrf;  // the session's token, which every form carries
    Query form;        // a URL-encoded form
    MultipartForm upload;  // a multipart form
    bool multipart = false;

    std::string field(const std::string& name) const { return multipart ? upload.field(name) : form.get(name); }
};

// The hidden field that carries the CSRF token.
std::string csrfField(const OperatorCall& call);
// A short notice: green when `ok`, else red.
std::string noticeHtml(Text text, Lang lang, bool ok);
// A page of the operator, with their tabs and the logout button.
Reply adminPage(const OperatorCall& call, AdminTab tab, const std::string& title, const std::string& mainHtml,
                int status = 200);
// Writes what the operator did, with the time and their address, to the log.
void logAction(WebContext& context, const Request& request, const std::string& action);
// A whole positive number, or 0.
int64_t idOf(const std::string& text);

}  // namespace srv::web
