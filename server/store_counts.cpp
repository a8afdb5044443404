#include "server/store.h"

// What is counted: reads, downloads, requests and visitors, gathered in
// memory and added to the database by each flush; the totals the
// statistics show.
namespace srv {

namespace {

// Pause rows older than this are of no use to any pause and are dropped.
constexpr int64_t staleTurnMs = 24 * 3600 * 1000;

}  // namespace

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

}  // namespace srv
