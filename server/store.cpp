#include "server/store.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "server/post_writer.h"
#include "server/schema.h"

namespace srv {

namespace {

// Bumped in the transaction of every change of content (see
// Store::contentGeneration).
void markContentChanged(Connection& c) {
    c.query("INSERT INTO counters (name, value) VALUES (?, 1) ON CONFLICT (name)"
            " DO UPDATE SET value = counters.value + 1")
        .bind(1, std::string(contentChangesCounter))
        .run();
}

const char* const articleColumns = "id, lang, title, author, posted, utc_offset, summary, body, link, reads";
const char* const fileColumns = "id, category, name, title, uploader, uploaded, size, downloads, description";
// Pause rows older than this are of no use to any pause and are dropped.
constexpr int64_t staleTurnMs = 24 * 3600 * 1000;

Article articleFrom(const Statement& s) {
    Article a;
    a.id = s.integer(0);
    a.lang = s.text(1);
    a.title = s.text(2);
    a.author = s.text(3);
    a.posted = s.integer(4);
    a.utcOffset = static_cast<int>(s.integer(5));
    a.summary = s.text(6);
    a.body = s.text(7);
    a.link = s.text(8);
    a.reads = s.integer(9);
    return a;
}

FileEntry fileFrom(const Statement& s) {
    FileEntry f;
    f.id = s.integer(0);
    f.category = s.text(1);
    f.name = s.text(2);
    f.title = s.text(3);
    f.uploader = s.text(4);
    f.uploaded = s.text(5);
    f.size = s.integer(6);
    f.downloads = s.integer(7);
    f.description = s.text(8);
    return f;
}

bool exists(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0;
}

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The key of a new row, from the statement's RETURNING id.
int64_t returnedId(Statement& s) {
    int64_t id = s.step() ? s.integer(0) : 0;
    s.run();
    return id;
}

}  // namespace

std::string visitorDay() {
    // Asked for on every plug-in request: the local time (a lock inside the
    // C library) is looked up once a second per thread.
    thread_local std::time_t asked = -1;
    thread_local std::string day;
    const std::time_t now = std::time(nullptr);
    if (now != asked) {
        std::tm tm{};
        localtime_r(&now, &tm);
        char text[16];
        std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
        day = text;
        asked = now;
    }
    return day;
}

// A pooled connection, given back when the lease ends.
class Store::Lease {
public:
    explicit Lease(Store& store) : store(store) {
        std::unique_lock<std::mutex> guard(store.poolLock);
        store.poolFreed.wait(guard, [&] { return !store.idle.empty() || store.opened < store.settings.readers; });
        if (!store.idle.empty()) {
            c = std::move(store.idle.back());
            store.idle.pop_back();
            return;
        }
        ++store.opened;
        guard.unlock();
        try {
            c = connect(store.dbName, false);
        } catch (...) {
            std::lock_guard<std::mutex> again(store.poolLock);
            --store.opened;
            store.poolFreed.notify_one();
            throw;
        }
    }
    ~Lease() {
        std::lock_guard<std::mutex> guard(store.poolLock);
        store.idle.push_back(std::move(c));
        store.poolFreed.notify_one();
    }
    Connection& connection() { return *c; }

private:
    Store& store;
    std::unique_ptr<Connection> c;
};

Store::Store(const std::string& db, bool create, StoreSettings settings)
    : dbName(db), settings(settings), writer(connect(db, create)) {
    if (create) {
        if (!isEmptyDatabase(*writer))
            throw DatabaseError(writer->name() + " holds tables already; init creates new databases only");
    } else {
        checkDatabase(*writer);
    }
    prepareDatabase(*writer);
    posts = std::make_unique<PostWriter>(*this, settings.commitBatch);
}

Store::~Store() {
    finishPosts();
    try {
        flushCounts();
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: counts lost at close: %s\n", e.what());
    }
}

std::unique_ptr<Store> Store::open(const std::string& db, StoreSettings settings) {
    if (!isPostgresUrl(db) && !exists(db))
        throw DatabaseError("no database " + db + " (create one with: lumen-server init --db DB)");
    return std::make_unique<Store>(db, false, settings);
}

std::unique_ptr<Store> Store::create(const std::string& db) {
    if (!isPostgresUrl(db) && exists(db)) throw DatabaseError(db + " exists already; init creates new databases only");
    return std::make_unique<Store>(db, true, StoreSettings{});
}

void Store::write(const std::function<void(Connection&)>& work) {
    writeCounts([&](Connection& c) {
        work(c);
        if (batchThread != std::this_thread::get_id()) markContentChanged(c);
    });
}

void Store::writeCounts(const std::function<void(Connection&)>& work) {
    if (batchThread == std::this_thread::get_id()) return work(*writer);
    std::lock_guard<std::mutex> guard(writeLock);
    Transaction t(*writer);
    work(*writer);
    writer->announceChange();
    t.commit();
}

void Store::read(const std::function<void(Connection&)>& work) {
    if (batchThread == std::this_thread::get_id()) return work(*writer);
    Lease lease(*this);
    work(lease.connection());
}

void Store::batch(const std::function<void()>& work) {
    std::lock_guard<std::mutex> guard(writeLock);
    Transaction t(*writer);
    batchThread = std::this_thread::get_id();
    struct Reset {
        std::atomic<std::thread::id>& id;
        ~Reset() { id = std::thread::id(); }
    } reset{batchThread};
    work();
    markContentChanged(*writer);
    writer->announceChange();
    t.commit();
}

Connection& Store::batchConnection() {
    if (batchThread != std::this_thread::get_id()) throw DatabaseError("no batch is running on this thread");
    return *writer;
}

std::vector<Article> Store::news(const std::string& lang) {
    std::vector<Article> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + articleColumns +
                               " FROM news WHERE lang = ? ORDER BY posted DESC, id DESC");
        s.bind(1, lang);
        while (s.step()) out.push_back(articleFrom(s));
    });
    return out;
}

std::optional<Article> Store::article(int64_t id) {
    std::optional<Article> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + articleColumns + " FROM news WHERE id = ?");
        s.bind(1, id);
        if (s.step()) out = articleFrom(s);
        s.run();
    });
    return out;
}

int64_t Store::addArticle(const Article& a) {
    int64_t id = 0;
    write([&](Connection& c) {
        Statement& s = c.query(a.id > 0 ? "INSERT INTO news (lang, title, author, posted, utc_offset, summary, body,"
                                          " link, reads, id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"
                                        : "INSERT INTO news (lang, title, author, posted, utc_offset, summary, body,"
                                          " link, reads) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
        s.bind(1, a.lang).bind(2, a.title).bind(3, a.author).bind(4, a.posted).bind(5, int64_t{a.utcOffset});
        s.bind(6, a.summary).bind(7, a.body).bind(8, a.link).bind(9, a.reads);
        if (a.id > 0) s.bind(10, a.id);
        id = returnedId(s);
        if (a.id > 0 && c.backend() == Backend::Postgres) afterKeyedInserts(c, communityTables()[1]);
    });
    return id;
}

bool Store::updateArticle(const Article& a) {
    bool changed = false;
    write([&](Connection& c) {
        Statement& s = c.query(
            "UPDATE news SET lang = ?, title = ?, author = ?, posted = ?, utc_offset = ?, summary = ?, body = ?,"
            " link = ? WHERE id = ?");
        s.bind(1, a.lang).bind(2, a.title).bind(3, a.author).bind(4, a.posted).bind(5, int64_t{a.utcOffset});
        s.bind(6, a.summary).bind(7, a.body).bind(8, a.link).bind(9, a.id);
        changed = s.run() > 0;
    });
    return changed;
}

bool Store::deleteArticle(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM news WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

std::vector<Shout> Store::latestShouts(int limit) {
    std::vector<Shout> out;
    read([&](Connection& c) {
        Statement& s =
            c.query("SELECT id, posted, nick, message, address FROM shouts ORDER BY posted DESC, id DESC LIMIT ?");
        s.bind(1, int64_t{limit});
        while (s.step()) out.push_back(Shout{s.integer(0), s.integer(1), s.text(2), s.text(3), s.text(4)});
    });
    return out;
}

int64_t Store::insertShout(Connection& c, const Shout& shout) {
    Statement& s = c.query("INSERT INTO shouts (posted, nick, message, address) VALUES (?, ?, ?, ?) RETURNING id");
    s.bind(1, shout.posted).bind(2, shout.nick).bind(3, shout.message).bind(4, shout.address);
    return returnedId(s);
}

int64_t Store::addShout(const Shout& shout) {
    int64_t id = 0;
    write([&](Connection& c) { id = insertShout(c, shout); });
    return id;
}

bool Store::deleteShout(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM shouts WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

void Store::postShout(const Shout& shout, std::chrono::milliseconds pause, PostDone done) {
    std::lock_guard<std::mutex> guard(postsLock);
    if (!posts) return done(PostOutcome::Failed);
    posts->post(shout, pause.count(), std::move(done));
}

void Store::finishPosts() {
    std::unique_ptr<PostWriter> stopping;
    {
        std::lock_guard<std::mutex> guard(postsLock);
        stopping = std::move(posts);
    }
}

std::vector<PostOutcome> Store::commitPosts(const std::vector<std::pair<Shout, int64_t>>& group) {
    std::vector<PostOutcome> outcomes;
    write([&](Connection& c) {
        outcomes.assign(group.size(), PostOutcome::Stored);
        // Turns are taken in address order, so that two servers' groups
        // lock the same rows in the same order and cannot deadlock.
        std::vector<size_t> byAddress(group.size());
        for (size_t i = 0; i < group.size(); ++i) byAddress[i] = i;
        std::stable_sort(byAddress.begin(), byAddress.end(),
                         [&](size_t a, size_t b) { return group[a].first.address < group[b].first.address; });
        const int64_t now = nowMs();
        for (size_t i : byAddress) {
            const auto& [shout, pauseMs] = group[i];
            if (pauseMs <= 0) continue;
            // The address's turn, taken only when its last post is old
            // enough: one statement, so two servers cannot both take it.
            Statement& turn = c.query(
                "INSERT INTO shout_turns (address, posted_ms) VALUES (?, ?) ON CONFLICT (address)"
                " DO UPDATE SET posted_ms = excluded.posted_ms WHERE shout_turns.posted_ms <= ?");
            turn.bind(1, shout.address).bind(2, now).bind(3, now - pauseMs);
            if (turn.run() == 0) outcomes[i] = PostOutcome::TooSoon;
        }
        for (size_t i = 0; i < group.size(); ++i)
            if (outcomes[i] == PostOutcome::Stored) insertShout(c, group[i].first);
    });
    return outcomes;
}

int64_t Store::deleteShoutsBy(const std::string& nick) {
    int64_t deleted = 0;
    write([&](Connection& c) {
        // Compared with the ban key in C++, so both follow one rule of spelling.
        std::vector<int64_t> ids;
        Statement& all = c.query("SELECT id, nick FROM shouts");
        while (all.step())
            if (banKey(all.text(1)) == banKey(nick)) ids.push_back(all.integer(0));
        for (int64_t id : ids) deleted += c.query("DELETE FROM shouts WHERE id = ?").bind(1, id).run();
    });
    return deleted;
}

bool Store::categoryExists(const std::string& name) {
    bool found = false;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT 1 FROM categories WHERE name = ?");
        s.bind(1, name);
        found = s.step();
        s.run();
    });
    return found;
}

std::vector<std::string> Store::categories() {
    std::vector<std::string> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT name FROM categories ORDER BY position");
        while (s.step()) out.push_back(s.text(0));
    });
    return out;
}

std::vector<FileEntry> Store::files(const std::string& category) {
    std::vector<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE category = ? ORDER BY id");
        s.bind(1, category);
        while (s.step()) out.push_back(fileFrom(s));
    });
    return out;
}

std::optional<FileEntry> Store::file(int64_t id) {
    std::optional<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE id = ?");
        s.bind(1, id);
        if (s.step()) out = fileFrom(s);
        s.run();
    });
    return out;
}

std::optional<FileEntry> Store::fileNamed(const std::string& name) {
    std::optional<FileEntry> out;
    read([&](Connection& c) {
        Statement& s = c.query(std::string("SELECT ") + fileColumns + " FROM files WHERE name = ?");
        s.bind(1, name);
        if (s.step()) out = fileFrom(s);
        s.run();
    });
    return out;
}

int64_t Store::addFile(const FileEntry& f) {
    int64_t id = 0;
    write([&](Connection& c) {
        Statement& s = c.query(f.id > 0 ? "INSERT INTO files (category, name, title, uploader, uploaded, size,"
                                          " downloads, description, id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"
                                        : "INSERT INTO files (category, name, title, uploader, uploaded, size,"
                                          " downloads, description) VALUES (?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
        s.bind(1, f.category).bind(2, f.name).bind(3, f.title).bind(4, f.uploader).bind(5, f.uploaded);
        s.bind(6, f.size).bind(7, f.downloads).bind(8, f.description);
        if (f.id > 0) s.bind(9, f.id);
        id = returnedId(s);
        if (f.id > 0 && c.backend() == Backend::Postgres) afterKeyedInserts(c, communityTables()[3]);
    });
    return id;
}

bool Store::removeFile(int64_t id) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM files WHERE id = ?").bind(1, id).run() > 0; });
    return changed;
}

bool Store::ban(const std::string& nick) {
    bool changed = false;
    write([&](Connection& c) {
        changed = c.query("INSERT INTO bans (nick) VALUES (?) ON CONFLICT (nick) DO NOTHING").bind(1, banKey(nick)).run() >
                  0;
    });
    return changed;
}

bool Store::unban(const std::string& nick) {
    bool changed = false;
    write([&](Connection& c) { changed = c.query("DELETE FROM bans WHERE nick = ?").bind(1, banKey(nick)).run() > 0; });
    return changed;
}

std::vector<std::string> Store::bans() {
    std::vector<std::string> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT nick FROM bans ORDER BY nick");
        while (s.step()) out.push_back(s.text(0));
    });
    return out;
}

void Store::countRead(int64_t id) { pending.read(id); }

void Store::countDownload(int64_t id) { pending.download(id); }

void Store::countRequest(const std::string& counter) { pending.count(counter); }

void Store::visit(const std::string& day, const std::string& address) { pending.visit(day, address); }

int64_t Store::pendingRequests(const std::string& counter) { return pending.counter(counter); }

int64_t Store::pendingVisitors(const std::string& day) { return pending.visitors(day); }

bool Store::flushCounts() {
    const PendingCounts::Taken taken = pending.take();
    if (taken.empty()) return false;
    try {
        // Added, never set: other servers add theirs to the same rows. Rows
        // are taken in key order, so two flushes cannot deadlock.
        writeCounts([&](Connection& c) {
            for (const auto& [id, n] : taken.reads)
                c.query("UPDATE news SET reads = reads + ? WHERE id = ?").bind(1, n).bind(2, id).run();
            for (const auto& [id, n] : taken.downloads)
                c.query("UPDATE files SET downloads = downloads + ? WHERE id = ?").bind(1, n).bind(2, id).run();
            for (const auto& [name, n] : taken.counters) {
                c.query("INSERT INTO counters (name, value) VALUES (?, ?) ON CONFLICT (name)"
                        " DO UPDATE SET value = counters.value + excluded.value")
                    .bind(1, name)
                    .bind(2, n)
                    .run();
            }
            for (const auto& [day, address] : taken.visitors) {
                c.query("INSERT INTO visits (day, address) VALUES (?, ?) ON CONFLICT (day, address) DO NOTHING")
                    .bind(1, day)
                    .bind(2, address)
                    .run();
            }
            c.query("DELETE FROM shout_turns WHERE posted_ms < ?").bind(1, nowMs() - staleTurnMs).run();
        });
    } catch (...) {
        pending.giveBack(taken);  // kept for the next flush
        throw;
    }
    return true;
}

Totals Store::totals() {
    Totals t;
    read([&](Connection& c) {
        t.news = scalar(c, "SELECT COUNT(*) FROM news");
        t.files = scalar(c, "SELECT COUNT(*) FROM files");
        t.shouts = scalar(c, "SELECT COUNT(*) FROM shouts");
        Statement& news = c.query("SELECT title, reads FROM news ORDER BY reads DESC, id LIMIT 1");
        if (news.step()) {
            t.topNews = news.text(0);
            t.topNewsReads = news.integer(1);
        }
        news.run();
        Statement& file = c.query("SELECT name, downloads FROM files ORDER BY downloads DESC, id LIMIT 1");
        if (file.step()) {
            t.topFile = file.text(0);
            t.topFileDownloads = file.integer(1);
        }
        file.run();
        Statement& requests = c.query("SELECT value FROM counters WHERE name = ?");
        requests.bind(1, std::string(pluginRequestCounter));
        if (requests.step()) t.pluginRequests = requests.integer(0);
        requests.run();
        Statement& visitors = c.query("SELECT COUNT(*) FROM visits WHERE day = ?");
        visitors.bind(1, visitorDay());
        if (visitors.step()) t.visitorsToday = visitors.integer(0);
        visitors.run();
    });
    return t;
}

int64_t Store::counter(const std::string& name) {
    int64_t value = 0;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT value FROM counters WHERE name = ?");
        s.bind(1, name);
        if (s.step()) value = s.integer(0);
        s.run();
    });
    return value;
}

std::vector<std::string> Store::visitors(const std::string& day) {
    std::vector<std::string> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT address FROM visits WHERE day = ? ORDER BY address");
        s.bind(1, day);
        while (s.step()) out.push_back(s.text(0));
    });
    return out;
}

void Store::addToDay(const std::string& day, const std::string& name, int64_t by) {
    write([&](Connection& c) {
        c.query("INSERT INTO day_counts (day, name, value) VALUES (?, ?, ?)"
                " ON CONFLICT (day, name) DO UPDATE SET value = day_counts.value + excluded.value")
            .bind(1, day)
            .bind(2, name)
            .bind(3, by)
            .run();
    });
}

std::vector<std::pair<std::string, int64_t>> Store::dayCounts(const std::string& name, const std::string& firstDay) {
    std::vector<std::pair<std::string, int64_t>> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT day, value FROM day_counts WHERE name = ? AND day >= ? ORDER BY day");
        s.bind(1, name).bind(2, firstDay);
        while (s.step()) out.emplace_back(s.text(0), s.integer(1));
    });
    return out;
}

void Store::logOperatorAction(const OperatorAction& entry) {
    write([&](Connection& c) {
        c.query("INSERT INTO operator_log (at, address, action) VALUES (?, ?, ?)")
            .bind(1, entry.at)
            .bind(2, entry.address)
            .bind(3, entry.action)
            .run();
    });
}

std::vector<OperatorAction> Store::operatorLog(int limit) {
    std::vector<OperatorAction> out;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT at, address, action FROM operator_log ORDER BY id DESC LIMIT ?");
        s.bind(1, int64_t{limit});
        while (s.step()) out.push_back(OperatorAction{s.integer(0), s.text(1), s.text(2)});
    });
    return out;
}

std::string Store::setting(const std::string& name) {
    std::string value;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT value FROM operator_settings WHERE name = ?");
        s.bind(1, name);
        if (s.step()) value = s.text(0);
        s.run();
    });
    return value;
}

void Store::setSetting(const std::string& name, const std::string& value) {
    write([&](Connection& c) {
        c.query("INSERT INTO operator_settings (name, value) VALUES (?, ?)"
                " ON CONFLICT (name) DO UPDATE SET value = excluded.value")
            .bind(1, name)
            .bind(2, value)
            .run();
    });
}

int64_t Store::contentGeneration() {
    int64_t generation = 0;
    read([&](Connection& c) {
        Statement& s = c.query("SELECT value FROM counters WHERE name = ?");
        s.bind(1, std::string(contentChangesCounter));
        if (s.step()) generation = s.integer(0);
        s.run();
    });
    return generation;
}

int64_t Store::dataVersion() {
    std::lock_guard<std::mutex> guard(listenLock);
    if (!listener) listener = connect(dbName, false);
    return listener->changesSeen();
}

}  // namespace srv
