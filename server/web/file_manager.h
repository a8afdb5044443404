// The operator's download area: the files of each category, an upload
// form, and removal. An upload is stored under a name the server makes
// (category, date, random part, a plain extension); the name the browser
// sent is kept only as data (the default title and the log).
#pragma once
#include "server/site.h"
#include "server/web/operator_call.h"
#include "server/web/web_context.h"

namespace srv::web {

class FileManager {
public:
    explicit FileManager(WebContext& context) : context(context) {}

    Reply list(const OperatorCall& call);
    Reply upload(const OperatorCall& call);
    Reply remove(const OperatorCall& call);

private:
    Reply listWith(const OperatorCall& call, const std::string& noticeHtml, int status);

    WebContext& context;
};

// The stored name of an upload: "cam-20250304-1a2b3c4d.tar.gz". Only a
// short extension of letters and digits is kept from the typed name.
std::string storedFileName(const std::string& category, const std::string& typedName, const std::string& day,
                           const std::string& randomHex);

}  // namespace srv::web
