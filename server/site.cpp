#include "server/site.h"

#include <cstdio>
#include <ctime>

#include "server/replies.h"
#include "server/site_paths.h"

namespace srv {

namespace {

const char* reasonOf(int status) {
    switch (status) {
    case 302: return "Found";
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

// Set while a reply is tried on an event-loop thread, which must not wait
// for the store: what would need it throws StoreNeeded instead.
thread_local bool storeForbidden = false;
// Whether that try counted the request already, to take it back.
thread_local bool countedInTry = false;
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
    : store(store), settings(std::move(settings)), pacer(this->settings.shoutInterval) {
    pluginRequests = savedRequests = store.counter(pluginRequestCounter);
}

void Site::handle(Request request, Respond respond) { respond(answer(request)); }

bool Site::answerWithoutStore(const Request& request, Reply& reply) {
    static const std::set<std::string> cachedOps = {op::feed, op::shoutList, op::statistics, op::category,
                                                    op::fileDetail};
    if (request.path != scriptPath || !cachedOps.count(request.query.get("op"))) return false;
    storeForbidden = true;
    countedInTry = false;
    try {
        reply = answer(request);
    } catch (const StoreNeeded&) {
        storeForbidden = false;
        if (countedInTry) --pluginRequests;  // handle() counts it again
        return false;
    } catch (...) {
        storeForbidden = false;
        throw;
    }
    storeForbidden = false;
    return true;
}

Reply Site::answer(const Request& request) {
    count(request);
    if (request.path == scriptPath) return script(request);
    if (request.path.rfind(filesPath, 0) == 0) return download(request.path.substr(std::string(filesPath).size()));
    return errorReply(404, "No such page.");
}

void Site::count(const Request& request) {
    if (request.userAgent != pluginAgent || request.method == "HEAD") return;
    std::unique_lock<std::mutex> guard = lockVisitors();
    std::string day = visitorDay();
    if (storeForbidden && (day != today || !visitorsToday.count(request.address))) throw StoreNeeded{};
    ++pluginRequests;
    countedInTry = storeForbidden;
    if (day != today) {
        today = day;
        auto known = store.visitors(day);
        visitorsToday = std::set<std::string>(known.begin(), known.end());
    }
    if (visitorsToday.insert(request.address).second) store.visit(day, request.address);
}

std::unique_lock<std::mutex> Site::lockVisitors() {
    // A new visitor is written to the store under this lock: an event loop
    // does not wait for that.
    std::unique_lock<std::mutex> guard(visitorLock, std::defer_lock);
    if (!storeForbidden) guard.lock();
    else if (!guard.try_lock()) throw StoreNeeded{};
    return guard;
}

void Site::saveCounters() {
    int64_t now = pluginRequests;
    if (now == savedRequests) return;
    store.setCounter(pluginRequestCounter, now);
    savedRequests = now;
}

void Site::storeChanged() {
    bodies.clear();
    totals.clear();
    banned.clear();
    categories.clear();
}

void Site::downloaded(int64_t fileId) {
    // Called as the response goes away, where nothing may be thrown.
    try {
        store.countDownload(fileId);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: download of file %lld not counted: %s\n", static_cast<long long>(fileId),
                     e.what());
    }
    storeChanged();
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
    if (op == op::postShout) return request.method == "HEAD" ? errorReply(405, "Send GET to post.") : postShout(request);
    if (op == op::statistics) return statistics();
    if (op == op::category) return category(query);
    if (op == op::fileDetail) return fileDetail(query);
    return errorReply(404, "Unknown operation.");
}

Reply Site::feed(const Query& query) {
    if (query.get("tn") == "3") {
        return bodyReply(bodies.get("feed-it", storeWork([&] { return feedRss1(store.news("it"), settings.baseUrl); })),
                         "text/xml; charset=ISO-8859-1");
    }
    return bodyReply(bodies.get("feed-en", storeWork([&] { return feedRss2(store.news("en"), settings.baseUrl); })),
                     "text/xml; charset=UTF-8");
}

Reply Site::article(const Query& query, bool read) {
    // The page shows the reads before this one; each page read counts.
    auto found = store.article(idOf(query.get("sid")));
    if (!found) return errorReply(404, "No such article.");
    if (read) {
        store.countRead(found->id);
        totals.clear();
    }
    return textReply(articlePage(*found), "text/html; charset=UTF-8");
}

Reply Site::postShout(const Request& request) {
    Shout shout;
    shout.nick = request.query.get("n");
    shout.message = request.query.get("p");
    shout.address = request.address;
    ShoutVerdict verdict = checkShoutText(shout.nick, shout.message);
    if (shout.nick.empty()) shout.nick = "Guest";
    if (verdict == ShoutVerdict::Stored) {
        auto bans = banned.get("bans", [&] {
            std::set<std::string> set;
            for (const std::string& nick : store.bans()) set.insert(nick);
            return set;
        });
        if (bans->count(banKey(shout.nick))) verdict = ShoutVerdict::Banned;
    }
    if (verdict == ShoutVerdict::Stored && !pacer.take(request.address)) verdict = ShoutVerdict::TooSoon;
    if (verdict == ShoutVerdict::Stored) {
        shout.posted = std::time(nullptr);
        try {
            store.addShout(shout);
        } catch (...) {
            pacer.giveBack(request.address);  // nothing was stored: the next try is no flood
            throw;
        }
        storeChanged();
    }
    // Always 200: the plug-in waits for the list after its post, whatever happened.
    return textReply(postReply(verdict), "text/html; charset=UTF-8");
}

Reply Site::statistics() {
    Statistics stats;
    stats.pluginRequests = pluginRequests;
    {
        std::unique_lock<std::mutex> guard = lockVisitors();
        stats.visitorsToday = static_cast<int64_t>(visitorsToday.size());
    }
    stats.totals = *totals.get("totals", storeWork([&] { return store.totals(); }));
    return textReply(statisticsReply(stats), "text/plain; charset=UTF-8");
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
    auto body = bodies.get("file-" + std::to_string(id), storeWork([&] {
        auto found = store.file(id);
        return found ? fileDetailReply(*found) : std::string();
    }));
    if (body->empty()) return errorReply(404, "No such file.");
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
