#include "server/site.h"

#include <cstdio>
#include <ctime>

#include "server/replies.h"
#include "server/web/web_site.h"

namespace srv {

namespace {

const char* const scriptPath = "/lumennews/index.php";
const char* const filesPath = "/lumennews/files/";

const char* reasonOf(int status) {
    switch (status) {
    case 302: return "Found";
    case 303: return "See Other";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
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
    if (request.path == scriptPath && request.query.get("op") == "inme") {
        count(request);
        postShout(shoutOf(request), [respond](ShoutVerdict verdict) {
            // Always 200: the plug-in waits for the list after its post, whatever happened.
            respond(textReply(postReply(verdict), "text/html; charset=UTF-8"));
        });
        return;
    }
    respond(answer(request));
}

Reply Site::answer(const Request& request) {
    if (!forThePlugin(request.path)) return web->answer(request);
    count(request);
    if (request.path == scriptPath) return script(request);
    if (request.path.rfind(filesPath, 0) == 0) return download(request.path.substr(std::string(filesPath).size()));
    return errorReply(404, "No such page.");
}

void Site::count(const Request& request) {
    if (request.userAgent != pluginAgent) return;
    ++pluginRequests;
    std::lock_guard<std::mutex> guard(visitorLock);
    std::string day = visitorDay();
    if (day != today) {
        today = day;
        auto known = store.visitors(day);
        visitorsToday = std::set<std::string>(known.begin(), known.end());
    }
    if (visitorsToday.insert(request.address).second) store.visit(day, request.address);
}

void Site::saveCounters() {
    const std::string day = visitorDay();
    int64_t posts = unsavedPosts.exchange(0);
    if (posts > 0) store.addToDay(day, postsDayCounter, posts);
    int64_t now = pluginRequests;
    if (now == savedRequests) return;
    store.setCounter(pluginRequestCounter, now);
    store.addToDay(day, pluginRequestCounter, now - savedRequests);
    savedRequests = now;
}

void Site::storeChanged() {
    bodies.clear();
    totals.clear();
    banned.clear();
    categories.clear();
    web->storeChanged();
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
    if (op == "outmerss") return feed(query);
    if (op == "article") return article(query);
    if (op == "outme") {
        return bodyReply(bodies.get("outme", [&] { return shoutPage(store.latestShouts(shownShouts)); }),
                         "text/html; charset=UTF-8");
    }
    if (op == "inme") {
        Reply reply;
        postShout(shoutOf(request), [&reply](ShoutVerdict verdict) {
            reply = textReply(postReply(verdict), "text/html; charset=UTF-8");
        });
        return reply;
    }
    if (op == "outmestats2") return statistics();
    if (op == "outcat") return category(query);
    if (op == "outfile") return fileDetail(query);
    return errorReply(404, "Unknown operation.");
}

Reply Site::feed(const Query& query) {
    if (query.get("tn") == "3") {
        return bodyReply(bodies.get("feed-it", [&] { return feedRss1(store.news("it"), settings.baseUrl); }),
                         "text/xml; charset=ISO-8859-1");
    }
    return bodyReply(bodies.get("feed-en", [&] { return feedRss2(store.news("en"), settings.baseUrl); }),
                     "text/xml; charset=UTF-8");
}

Reply Site::article(const Query& query) {
    // The page shows the reads before this one; each page read counts.
    auto found = store.article(idOf(query.get("sid")));
    if (!found) return errorReply(404, "No such article.");
    store.countRead(found->id);
    totals.clear();
    return textReply(articlePage(*found), "text/html; charset=UTF-8");
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
            for (const std::string& nick : store.bans()) set.insert(nick);
            return set;
        });
        if (bans->count(banKey(shout.nick))) verdict = ShoutVerdict::Banned;
    }
    if (verdict == ShoutVerdict::Stored && !pacer.take(shout.address)) verdict = ShoutVerdict::TooSoon;
    if (verdict == ShoutVerdict::Stored) {
        shout.posted = std::time(nullptr);
        try {
            store.addShout(shout);
        } catch (...) {
            pacer.giveBack(shout.address);  // nothing was stored: the next try is no flood
            throw;
        }
        ++unsavedPosts;
        storeChanged();
    }
    done(verdict);
}

Statistics Site::currentStatistics() {
    Statistics stats;
    stats.pluginRequests = pluginRequests;
    {
        std::lock_guard<std::mutex> guard(visitorLock);
        stats.visitorsToday = static_cast<int64_t>(visitorsToday.size());
    }
    stats.totals = *totals.get("totals", [&] { return store.totals(); });
    return stats;
}

Reply Site::statistics() {
    return textReply(statisticsReply(currentStatistics()), "text/plain; charset=UTF-8");
}

Reply Site::category(const Query& query) {
    const std::string name = query.get("cat");
    auto known = categories.get("categories", [&] {
        auto names = store.categories();
        return std::set<std::string>(names.begin(), names.end());
    });
    if (!known->count(name)) return errorReply(404, "No such category.");
    return bodyReply(bodies.get("cat-" + name, [&] { return categoryReply(store.files(name)); }),
                     "text/plain; charset=UTF-8");
}

Reply Site::fileDetail(const Query& query) {
    int64_t id = idOf(query.get("idf"));
    auto body = bodies.get("file-" + std::to_string(id), [&] {
        auto found = store.file(id);
        return found ? fileDetailReply(*found) : std::string();
    });
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
