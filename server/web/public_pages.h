// The pages anyone may read: home, the news list, an article and the
// statistics.
#pragma once
#include "server/site.h"
#include "server/web/web_context.h"
#include "server/web/web_texts.h"

namespace srv::web {

class PublicPages {
public:
    explicit PublicPages(WebContext& context) : context(context) {}

    Reply home(const Request& request, Lang lang);
    // All news of one language ("feed" en or it; by default the page's).
    Reply newsList(const Request& request, Lang lang);
    Reply article(const Request& request, Lang lang, int64_t id);
    Reply statistics(const Request& request, Lang lang);

    // The statistics as a definition list (also on the operator's page).
    static std::string statisticsHtml(const Statistics& stats, Lang lang);
    // The newest shouts as a list.
    static std::string shoutListHtml(const std::vector<Shout>& shouts);

private:
    std::string newsCards(const std::string& feed, Lang lang, size_t limit);

    WebContext& context;
};

// A page saying what was not found, with status 404.
Reply notFoundPage(const Request& request, Lang lang);

}  // namespace srv::web
