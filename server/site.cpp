#include "server/site.h"

#include <cstdio>
#include <ctime>
#include <future>

#include "server/replies.h"
#include "server/site_paths.h"
#include "server/web/web_site.h"

namespace srv {

namespace {

const char* reasonOf(int status) {
    switch (status) {
    case 302: return "Found";
    case 303: return "See Other";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

Reply bodyReply(std::shared_ptr<const std::string> body, const std::string& contentType) {
    Reply r;
    r.contentType = contentType;
    r.body = std::move(body);
    return r;
}

Reply textReply(std::string body, const std::string& contentType) {
    return bodyReply(std::make_shared<const std::string>(std::move(body)), contentType);
}

// Cache keys of the replies that show counts; see countsChanged().
const std::string articleKey = "article-";
const std::string fileDetailKey = "file-";

// Set while a reply is tried on an event-loop thread, which must not wait
// for the store: what would need it throws StoreNeeded instead.
thread_local bool storeForbidden = false;
struct StoreNeeded {};

template <class Make>
auto storeWork(Make make) {
    return [make] {
        if (storeForbidden) throw StoreNeeded{};
        return make();
    };
}

// A whole positive decimal number, or 0.
int64_t idOf(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoll(text);
}

}  // namespace

Reply errorReply(int status, const std::string& detail) {
    std::string title = std::to_string(status) + " " + reasonOf(status);
    Reply r = textReply("<html><head><title>" + title + "</title></head>\n<body><h1>" + title + "</h1>\n<p>" +
                            detail + "</p></body></html>\n",
                        "text/html; charset=UTF-8");
    r.status = status;
    return r;
}

bool isSafeFileName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name.find("..") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

Site::Site(Store& store, SiteSettings settings)
    : store(store), settings(std::move(settings)), bodies(this->settings.replyCacheBytes) {
    web::WebSettings webSettings;
    webSettings.filesDir = this->settings.filesDir;
    webSettings.uploadMaxBytes = this->settings.uploadMaxBytes;
    web = std::make_unique<web::WebSite>(*this, store, webSettings);
}

Site::~Site() = default;

namespace {

// The plug-in's paths; everything else is a page for browsers.
bool forThePlugin(const std::string& path) { return path.rfind("/lumennews/", 0) == 0; }

}  // namespace

void Site::handle(Request request, Respond respond) {
    if (!forThePlugin(request.path)) return web->handle(std::move(request), std::move(respond));
    // A post answers after its group commit, without holding this thread;
    // asking for the headers of a post must not post (answer() refuses it).
    if (request.path == scriptPath && request.query.get("op") == op::postShout && request.method != "HEAD") {
        count(request);
        return postShout(request, std::move(respond));
    }
    respond(answer(request));
}

bool Site::answerWithoutStore(const Request& request, Reply& reply) {
    // An article's read is counted in memory, so a cached page needs no store either.
    static const std::set<std::string> cachedOps = {op::feed,     op::article,    op::shoutList,
                                                    op::statistics, op::category, op::fileDetail};
    if (request.path != scriptPath || !cachedOps.count(request.query.get("op"))) return false;
    storeForbidden = true;
    try {
        reply = script(request);
    } catch (const StoreNeeded&) {
        storeForbidden = false;
        return false;  // handle() answers it, and counts it then
    } catch (...) {
        storeForbidden = false;
        throw;
    }
    storeForbidden = false;
    count(request);
    return true;
}

Reply Site::answer(const Request& request) {
    if (!forThePlugin(request.path)) return web->answer(request);
    count(request);
    if (request.path == scriptPath) return script(request);
    if (request.path.rfind(filesPath, 0) == 0) return download(request.path.substr(std::string(filesPath).size()));
    return errorReply(404, "No such page.");
}

void Site::count(const Request& request) {
    if (request.userAgent != pluginAgent || request.method == "HEAD") return;
    store.countRequest(pluginRequestCounter);
    ++unsavedRequests;
    std::lock_guard<std::mutex> guard(visitorLock);
    std::string day = visitorDay();
    if (day != today) {
        today = day;
        visitorsToday.clear();
    }
    if (visitorsToday.insert(request.address).second) store.visit(day, request.address);
}

void Site::saveCounters() {
    if (store.flushCounts()) countsChanged();
    // The operator's chart: this server's share of the day, added.
    const std::string day = visitorDay();
    if (int64_t posts = unsavedPosts.exchange(0)) store.addToDay(day, postsDayCounter, posts);
    if (int64_t requests = unsavedRequests.exchange(0)) store.addToDay(day, pluginRequestCounter, requests);
}

void Site::storeChanged() {
    bodies.clear();
    totals.clear();
    banned.clear();
    categories.clear();
    articleIds.clear();
    web->storeChanged();
}

void Site::countsChanged() {
    totals.clear();
    bodies.clearPrefix(articleKey);
    bodies.clearPrefix(fileDetailKey);
    web->storeChanged();
}

void Site::downloaded(int64_t fileId) {
    // Counted in memory; the statistics show it after the next flush.
    store.countDownload(fileId);
}

Reply Site::script(const Request& request) {
    const Query& query = request.query;
    const std::string op = query.get("op");
    if (op == op::feed) return feed(query);
    if (op == op::article) return article(query, request.method != "HEAD");
    if (op == op::shoutList) {
        return bodyReply(bodies.get("outme", storeWork([&] { return shoutPage(store.latestShouts(shownShouts)); })),
                         "text/html; charset=UTF-8");
    }
    // Asking for the headers of a post must not post.
    if (op == op::postShout)
        return request.method == "HEAD" ? errorReply(405, "Send GET to post.") : postShoutAndWait(request);
    if (op == op::statistics) return statistics();
    if (op == op::category) return category(query);
    if (op == op::fileDetail) return fileDetail(query);
    return errorReply(404, "Unknown operation.");
}

Reply Site::feed(const Query& query) {
    auto newest = [&](const char* lang) {
        std::vector<Article> news = store.news(lang);
        if (news.size() > settings.feedItems) news.resize(settings.feedItems);
        return news;
    };
    if (query.get("tn") == "3") {
        return bodyReply(bodies.get("feed-it", storeWork([&] { return feedRss1(newest("it"), settings.baseUrl); })),
                         "text/xml; charset=ISO-8859-1");
    }
    return bodyReply(bodies.get("feed-en", storeWork([&] { return feedRss2(newest("en"), settings.baseUrl); })),
                     "text/xml; charset=UTF-8");
}

Reply Site::article(const Query& query, bool read) {
    // The page shows the reads added to the database so far, so it is
    // cached like the rest until the next change or flush; each read counts.
    const int64_t id = idOf(query.get("sid"));
    auto known = articleIds.get("ids", storeWork([&] {
        std::set<int64_t> ids;
        for (const char* lang : {"en", "it"})
            for (const Article& a : store.news(lang)) ids.insert(a.id);
        return ids;
    }));
    if (!known->count(id)) return errorReply(404, "No such article.");
    auto body = bodies.get(articleKey + std::to_string(id), storeWork([&] {
        auto found = store.article(id);
        return found ? articlePage(*found) : std::string();
    }));
    if (body->empty()) return errorReply(404, "No such article.");
    if (read) store.countRead(id);
    return bodyReply(body, "text/html; charset=UTF-8");
}

Shout Site::shoutOf(const Request& request) const {
    Shout shout;
    shout.nick = request.query.get("n");
    shout.message = request.query.get("p");
    shout.address = request.address;
    return shout;
}

void Site::postShout(Shout shout, const std::function<void(ShoutVerdict)>& done) {
    ShoutVerdict verdict = checkShoutText(shout.nick, shout.message);
    if (shout.nick.empty()) shout.nick = "Guest";
    if (verdict == ShoutVerdict::Stored) {
        auto bans = banned.get("bans", [&] {
            std::set<std::string> set;
            // Keyed again: rows written under an older key still match.
            for (const std::string& nick : store.bans()) set.insert(banKey(nick));
            return set;
        });
        if (bans->count(banKey(shout.nick))) verdict = ShoutVerdict::Banned;
    }
    if (verdict != ShoutVerdict::Stored) return done(verdict);
    shout.posted = std::time(nullptr);
    store.postShout(shout, settings.shoutInterval, [this, done](PostOutcome outcome) {
        if (outcome == PostOutcome::Stored) {
            ++unsavedPosts;
            storeChanged();
        }
        done(outcome == PostOutcome::Stored   ? ShoutVerdict::Stored
             : outcome == PostOutcome::Failed ? ShoutVerdict::NotStored
                                              : ShoutVerdict::TooSoon);
    });
}

void Site::postShout(const Request& request, Respond respond) {
    postShout(shoutOf(request), [respond = std::move(respond)](ShoutVerdict verdict) {
        // Always 200: the plug-in waits for the list after its post, whatever happened.
        respond(textReply(postReply(verdict), "text/html; charset=UTF-8"));
    });
}

Reply Site::postShoutAndWait(const Request& request) {
    auto reply = std::make_shared<std::promise<Reply>>();
    auto answered = reply->get_future();
    postShout(request, [reply](Reply r) { reply->set_value(std::move(r)); });
    return answered.get();
}

Statistics Site::currentStatistics() {
    Statistics stats;
    stats.totals = *totals.get("totals", storeWork([&] { return store.totals(); }));
    // Every server's flushed counts, and this one's not flushed yet.
    stats.pluginRequests = stats.totals.pluginRequests + store.pendingRequests(pluginRequestCounter);
    stats.visitorsToday = stats.totals.visitorsToday + store.pendingVisitors(visitorDay());
    return stats;
}

Reply Site::statistics() {
    return textReply(statisticsReply(currentStatistics()), "text/plain; charset=UTF-8");
}

Reply Site::category(const Query& query) {
    const std::string name = query.get("cat");
    auto known = categories.get("categories", storeWork([&] {
        auto names = store.categories();
        return std::set<std::string>(names.begin(), names.end());
    }));
    if (!known->count(name)) return errorReply(404, "No such category.");
    return bodyReply(bodies.get("cat-" + name, storeWork([&] { return categoryReply(store.files(name)); })),
                     "text/plain; charset=UTF-8");
}

Reply Site::fileDetail(const Query& query) {
    int64_t id = idOf(query.get("idf"));
    auto body = bodies.find(fileDetailKey + std::to_string(id), storeWork([&]() -> std::optional<std::string> {
        auto found = store.file(id);
        if (!found) return std::nullopt;
        return fileDetailReply(*found);
    }));
    if (!body) return errorReply(404, "No such file.");
    return bodyReply(body, "text/plain; charset=UTF-8");
}

Reply Site::download(const std::string& name) {
    if (!isSafeFileName(name)) return errorReply(403, "Refused file name.");
    auto found = store.fileNamed(name);
    if (!found) return errorReply(404, "Not found.");
    Reply r;
    r.contentType = "application/octet-stream";
    r.file = settings.filesDir + "/" + name;
    r.fileId = found->id;
    return r;
}

}  // namespace srv
