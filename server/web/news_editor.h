// The operator's news: the list in both languages, an editor with a
// preview (nothing is stored until Save), and deletion.
#pragma once
#include "server/site.h"
#include "server/web/operator_call.h"
#include "server/web/web_context.h"

namespace srv::web {

class NewsEditor {
public:
    explicit NewsEditor(WebContext& context) : context(context) {}

    Reply list(const OperatorCall& call);
    // id 0: a new item.
    Reply editor(const OperatorCall& call, int64_t id);
    // Preview or store the form, as its button says.
    Reply save(const OperatorCall& call);
    Reply remove(const OperatorCall& call);

private:
    // The fields as typed (plain title, author and summary; HTML body).
    struct Draft {
        int64_t id = 0;
        std::string lang = "en";
        std::string title, author, summary, body;
    };
    Reply editorPage(const OperatorCall& call, const Draft& draft, const std::string& aboveHtml, int status);

    WebContext& context;
};

}  // namespace srv::web
