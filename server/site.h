// What the community answers, request by request: replies made from the
// store and cached until the store changes, shouts taken in, and the
// counters of the statistics.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/query.h"
#include "server/replies.h"
#include "server/records.h"
#include "server/reply_cache.h"
#include "server/shout_intake.h"
#include "server/store.h"

namespace srv {

namespace web {
class WebSite;
}

// A header as received or to be sent; received names are lower case.
using Header = std::pair<std::string, std::string>;

struct Reply {
    int status = 200;
    std::string contentType = "text/plain; charset=UTF-8";
    Body body;
    // Sent besides Content-Type and Content-Length (cookies, Location, ...).
    std::vector<Header> headers;
    // A download: the file to send and its row, counted when sent whole.
    std::string file;
    int64_t fileId = 0;
};

struct Request {
    std::string path;  // decoded
    Query query;
    std::string address;
    std::string userAgent;
    std::string method = "GET";
    std::vector<Header> headers;
    std::string body;  // already bounded by the HTTP layer

    // The first header of that lower-case name, or "".
    std::string_view header(std::string_view name) const {
        for (const Header& h : headers)
            if (h.first == name) return h.second;
        return {};
    }
};

// Called exactly once with the reply, from any thread.
using Respond = std::function<void(Reply)>;

// The User-Agent of the plug-in; only its requests are counted.
inline const char* const pluginAgent = "CORVANENEWS";

struct SiteSettings {
    std::string baseUrl;
    std::string filesDir;
    std::chrono::milliseconds shoutInterval{5000};
    size_t feedItems = 50;  // the newest news a feed carries
    size_t replyCacheBytes = defaultReplyCacheBytes;
    // The largest file the operator's web page takes.
    size_t uploadMaxBytes = 64 * 1024 * 1024;
};

// The per-day count of stored shouts (beside pluginRequestCounter).
inline constexpr const char* postsDayCounter = "posts";

class Site {
public:
    Site(Store& store, SiteSettings settings);
    ~Site();
    // The HTTP layer's entry: replies that wait for the store (a post's
    // commit) may respond later, from another thread.
    void handle(Request request, Respond respond);
    Reply answer(const Request& request);
    // Answers at once when that needs no store (a cached reply); false:
    // use handle(). For event-loop threads.
    bool answerWithoutStore(const Request& request, Reply& reply);
    // A download was sent to its end.
    void downloaded(int64_t fileId);
    // Drops every cached reply; for changes made by other processes too.
    void storeChanged();
    // Drops the replies that show counts (statistics, article pages, file
    // details), after counts were added by this or another process.
    void countsChanged();
    // Adds the counts gathered here to the store (and to the operator's
    // day counts); drops the cached replies when it wrote.
    void saveCounters();
    // Checks and stores a shout, from a box or the web alike (limits,
    // bans, the pause per address); `done` gets the verdict once the shout
    // is stored or refused.
    void postShout(Shout shout, const std::function<void(ShoutVerdict)>& done);
    // What the statistics show now.
    Statistics currentStatistics();

private:
    Reply script(const Request& request);
    Reply feed(const Query& query);
    // `read`: counts as a read (not for HEAD).
    Reply article(const Query& query, bool read);
    // Answers through `respond` once the shout's group commit is durable.
    void postShout(const Request& request, Respond respond);
    // The same, waiting for the answer.
    Reply postShoutAndWait(const Request& request);
    Shout shoutOf(const Request& request) const;
    Reply statistics();
    Reply category(const Query& query);
    Reply fileDetail(const Query& query);
    Reply download(const std::string& name);
    void count(const Request& request);

    Store& store;
    SiteSettings settings;
    ReplyCache<std::string> bodies;
    ReplyCache<Totals> totals;
    ReplyCache<std::set<std::string>> banned;
    ReplyCache<std::set<std::string>> categories;
    ReplyCache<std::set<int64_t>> articleIds;
    std::mutex visitorLock;
    std::string today;
    std::set<std::string> visitorsToday;  // handed to the store already
    // This server's share of the day for the operator's chart, not saved yet.
    std::atomic<int64_t> unsavedPosts{0};
    std::atomic<int64_t> unsavedRequests{0};
    std::unique_ptr<web::WebSite> web;  // the pages for browsers
};

// Status pages; the body says what went wrong.
Reply errorReply(int status, const std::string& detail);

// A file name a download may use: no "/", no "..", no NUL, not empty.
bool isSafeFileName(const std::string& name);

}  // namespace srv
