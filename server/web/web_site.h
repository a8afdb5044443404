// The community's pages for browsers, beside the plug-in's requests: the
// public pages, the shoutbox, the download area, the operator's pages
// under /admin and the stylesheet. Paths are chosen here, in one place.
#pragma once
#include <memory>

#include "server/site.h"
#include "server/web/admin_pages.h"
#include "server/web/download_pages.h"
#include "server/web/public_pages.h"
#include "server/web/shoutbox_page.h"
#include "server/web/web_context.h"

namespace srv::web {

class WebSite {
public:
    WebSite(Site& site, Store& store, WebSettings settings);

    // Posts may answer later (after the store has the shout).
    void handle(Request request, Respond respond);
    Reply answer(const Request& request);
    void storeChanged() { context.fragments.clear(); }

private:
    Reply route(const Request& request, Lang lang);

    WebContext context;
    PublicPages publicPages;
    ShoutboxPage shoutbox;
    DownloadPages downloads;
    AdminPages admin;
};

}  // namespace srv::web
