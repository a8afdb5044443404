#include "server/web/web_site.h"

#include <future>
#include <memory>

#include "server/site_paths.h"
#include "server/web/page_frame.h"

namespace srv::web {

namespace {

// The largest URL-encoded form; only an upload may be larger (up to the
// upload option).
constexpr size_t maxFormBytes = 256 * 1024;

// A whole positive number after `prefix`, or 0.
int64_t idAfter(const std::string& path, const std::string& prefix) {
    if (path.rfind(prefix, 0) != 0) return 0;
    return idOf(path.substr(prefix.size()));
}

Reply methodNotAllowed() {
    Reply reply = errorReply(405, "Method not allowed.");
    reply.headers.emplace_back("Allow", "GET, HEAD, POST");
    addSafetyHeaders(reply);
    return reply;
}

Reply tooLarge() {
    Reply reply = errorReply(413, "The form is too large.");
    addSafetyHeaders(reply);
    return reply;
}

Reply stylesheetReply() {
    static const Body css = std::make_shared<const std::string>(stylesheet());
    Reply reply;
    reply.contentType = "text/css; charset=UTF-8";
    reply.body = css;
    reply.headers.emplace_back("Cache-Control", "public, max-age=86400");
    reply.headers.emplace_back("X-Content-Type-Options", "nosniff");
    return reply;
}

}  // namespace

WebSite::WebSite(Site& site, Store& store, WebSettings settings)
    : context{site, store, std::move(settings), ReplyCache<std::string>(defaultReplyCacheBytes)},
      publicPages(context),
      shoutbox(context),
      downloads(context),
      admin(context) {}

void WebSite::handle(Request request, Respond respond) {
    // A post answers after its group commit, without holding this thread.
    if (request.method == "POST" && request.path == "/shouts" && request.body.size() <= maxFormBytes)
        return shoutbox.post(request, pageLanguage(request), std::move(respond));
    respond(answer(request));
}

Reply WebSite::answer(const Request& request) {
    if (request.method != "GET" && request.method != "HEAD" && request.method != "POST") return methodNotAllowed();
    if (request.method == "POST" && request.body.size() > maxFormBytes && request.path != uploadPath) return tooLarge();
    Lang lang = pageLanguage(request);
    if (request.path == "/shouts" && request.method == "POST") {
        auto answered = std::make_shared<std::promise<Reply>>();
        auto reply = answered->get_future();
        shoutbox.post(request, lang, [answered](Reply r) { answered->set_value(std::move(r)); });
        return reply.get();
    }
    return route(request, lang);
}

Reply WebSite::route(const Request& request, Lang lang) {
    const std::string& path = request.path;
    if (path == "/admin" || path.rfind("/admin/", 0) == 0) return admin.answer(request, lang);
    if (request.method == "POST") return methodNotAllowed();
    if (path == "/") return publicPages.home(request, lang);
    if (path == stylesheetPath) return stylesheetReply();
    if (path == "/news") return publicPages.newsList(request, lang);
    if (int64_t id = idAfter(path, "/news/")) return publicPages.article(request, lang, id);
    if (path == "/shouts") return shoutbox.show(request, lang);
    if (path == "/stats") return publicPages.statistics(request, lang);
    if (path == "/files") return downloads.categories(request, lang);
    if (path.rfind("/files/", 0) == 0) return downloads.category(request, lang, path.substr(7));
    if (int64_t id = idAfter(path, "/file/")) return downloads.file(request, lang, id);
    return notFoundPage(request, lang);
}

}  // namespace srv::web
