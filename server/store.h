// Everything the community keeps, in one SQLite file. Thread-safe: one
// connection, one lock; every write is one transaction, durable when the
// call returns.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "server/database.h"
#include "server/records.h"

namespace srv {

// How a nickname is banned and looked up: letter case does not count.
std::string banKey(const std::string& nick);
// The counter of requests from the plug-in (its User-Agent).
inline constexpr const char* pluginRequestCounter = "plugin_requests";
// The day visitors are counted under: this machine's local date, YYYY-MM-DD.
std::string visitorDay();

// A line of the operator's log.
struct OperatorAction {
    int64_t at = 0;  // seconds since 1970, UTC
    std::string address;
    std::string action;
};

class Store {
public:
    // Opens an existing file, refusing a damaged or newer one, and brings
    // its schema up to date. Throws DatabaseError with one line.
    static std::unique_ptr<Store> open(const std::string& file);
    // Creates a new file; refuses one that exists.
    static std::unique_ptr<Store> create(const std::string& file);

    // News, newest first.
    std::vector<Article> news(const std::string& lang);
    std::optional<Article> article(int64_t id);
    int64_t addArticle(const Article& article);  // id 0: a new one
    bool updateArticle(const Article& article);
    bool deleteArticle(int64_t id);
    void countRead(int64_t id);

    std::vector<Shout> latestShouts(int limit);
    int64_t addShout(const Shout& shout);
    bool deleteShout(int64_t id);
    // Deletes every shout of `nick` (letter case as for bans); how many went.
    int64_t deleteShoutsBy(const std::string& nick);

    bool categoryExists(const std::string& name);
    std::vector<std::string> categories();
    std::vector<FileEntry> files(const std::string& category);
    std::optional<FileEntry> file(int64_t id);
    std::optional<FileEntry> fileNamed(const std::string& name);
    int64_t addFile(const FileEntry& file);  // id 0: a new one
    bool removeFile(int64_t id);
    void countDownload(int64_t id);

    bool ban(const std::string& nick);    // false: already banned
    bool unban(const std::string& nick);  // false: was not banned
    std::vector<std::string> bans();

    Totals totals();
    int64_t counter(const std::string& name);
    void setCounter(const std::string& name, int64_t value);
    // Records `address` as a visitor of `day`.
    void visit(const std::string& day, const std::string& address);
    std::vector<std::string> visitors(const std::string& day);

    // Counts per day (requests, posts), for the operator's chart.
    void addToDay(const std::string& day, const std::string& name, int64_t by);
    // (day, count) of `name` from `firstDay` on, oldest first; days
    // without a count are left out.
    std::vector<std::pair<std::string, int64_t>> dayCounts(const std::string& name, const std::string& firstDay);
    void logOperatorAction(const OperatorAction& entry);
    // The newest `limit` lines, newest first.
    std::vector<OperatorAction> operatorLog(int limit);
    // The operator's settings (the password hash); "" when unset.
    std::string setting(const std::string& name);
    void setSetting(const std::string& name, const std::string& value);

    // Moves when another connection (a content tool) commits a change.
    int64_t dataVersion();

    // Runs `work` in one transaction under the lock (for imports).
    template <class Work>
    void batch(Work work) {
        write([&] {
            inBatch = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{inBatch};
            work();
        });
    }

    explicit Store(const std::string& file, bool create);

private:
    // One transaction, or part of the running batch.
    template <class Work>
    void write(Work work) {
        std::lock_guard<std::recursive_mutex> guard(lock);
        if (inBatch) return work();
        Transaction t(db);
        work();
        t.commit();
    }
    // Runs `sql` with one bound value in its own write; true when it
    // changed a row.
    template <class Value>
    bool changeRow(const char* sql, const Value& value) {
        bool changed = false;
        write([&] {
            db.prepare(sql).bind(1, value).run();
            changed = db.changes() > 0;
        });
        return changed;
    }
    std::optional<Article> articleLocked(int64_t id);
    std::vector<FileEntry> filesWhere(const std::string& where, const std::function<void(Statement&)>& bind);
    int64_t insertArticle(const Article& article);
    int64_t insertFile(const FileEntry& file);

    std::recursive_mutex lock;
    Database db;
    bool inBatch = false;
};

}  // namespace srv
