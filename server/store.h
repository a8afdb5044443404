// Everything the community keeps, in SQLite or PostgreSQL (connection.h).
// Thread-safe. Reads borrow a connection of a small pool; writes of this
// process take one writer connection in turn; every write is one
// transaction, durable when the call returns. Counts (reads, downloads,
// plug-in requests, visitors) are gathered in memory and added to the
// database by flushCounts(), never overwritten, so several servers may
// share one database. Shouts go through a group commit (post_writer.h).
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "server/ban_key.h"
#include "server/connection.h"
#include "server/pending_counts.h"
#include "server/records.h"

namespace srv {

class PostWriter;

// The counter of requests from the plug-in (its User-Agent).
inline constexpr const char* pluginRequestCounter = "plugin_requests";
// The counter behind Store::contentGeneration().
inline constexpr const char* contentChangesCounter = "content_changes";
// The day visitors are counted under: this machine's local date, YYYY-MM-DD.
std::string visitorDay();

// What became of a posted shout once its transaction is over.
enum class PostOutcome { Stored, TooSoon, Failed };
using PostDone = std::function<void(PostOutcome)>;

struct StoreSettings {
    // Posts committed together at most; 1 is one transaction per post.
    size_t commitBatch = 512;
    // Connections for reads (each lent to one thread at a time).
    size_t readers = 4;
};

// A line of the operator's log.
struct OperatorAction {
    int64_t at = 0;  // seconds since 1970, UTC
    std::string address;
    std::string action;
};

class Store {
public:
    // Opens an existing database (a file or a postgresql:// URL), refusing
    // a damaged, newer, foreign or read-only one, and brings its schema up
    // to date. Throws DatabaseError with one line.
    static std::unique_ptr<Store> open(const std::string& db, StoreSettings settings = {});
    // Creates a new database: a file that does not exist, or an empty
    // PostgreSQL database.
    static std::unique_ptr<Store> create(const std::string& db);
    ~Store();

    // News, newest first.
    std::vector<Article> news(const std::string& lang);
    std::optional<Article> article(int64_t id);
    int64_t addArticle(const Article& article);  // id 0: a new one
    bool updateArticle(const Article& article);
    bool deleteArticle(int64_t id);

    std::vector<Shout> latestShouts(int limit);
    int64_t addShout(const Shout& shout);
    bool deleteShout(int64_t id);
    // Stores `shout` in the next group commit unless its address posted
    // less than `pause` ago (decided in the database, for every server);
    // `done` is called once the outcome is durable, from the writer thread.
    void postShout(const Shout& shout, std::chrono::milliseconds pause, PostDone done);
    // Commits the posts still waiting and takes no more (they fail); for a
    // clean stop before the posters' answers go away.
    void finishPosts();
    // Deletes every shout of `nick` (letter case as for bans); how many went.
    int64_t deleteShoutsBy(const std::string& nick);

    bool categoryExists(const std::string& name);
    std::vector<std::string> categories();
    std::vector<FileEntry> files(const std::string& category);
    std::optional<FileEntry> file(int64_t id);
    std::optional<FileEntry> fileNamed(const std::string& name);
    int64_t addFile(const FileEntry& file);  // id 0: a new one
    bool removeFile(int64_t id);

    bool ban(const std::string& nick);    // false: already banned
    bool unban(const std::string& nick);  // false: was not banned
    std::vector<std::string> bans();

    // Counted in memory, added to the database by flushCounts().
    void countRead(int64_t id);
    void countDownload(int64_t id);
    void countRequest(const std::string& counter);
    // Records `address` as a visitor of `day` (once per process and day
    // is enough: the database keeps one row per day and address).
    void visit(const std::string& day, const std::string& address);
    // Adds what was counted since the last flush; true when it wrote.
    bool flushCounts();
    // Counts not flushed yet, for this process's own statistics.
    int64_t pendingRequests(const std::string& counter);
    int64_t pendingVisitors(const std::string& day);

    Totals totals();  // includes the flushed counters and today's visitors
    int64_t counter(const std::string& name);
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

    // Grows when another connection or process commits a change.
    int64_t dataVersion();
    // Grows with every committed change of what the replies show (news,
    // shouts, files, bans), by any process; adding counts leaves it alone,
    // so the keeper can tell a count flush from a change of content.
    int64_t contentGeneration();

    // Runs `work` in one transaction on this thread (for imports and copies).
    void batch(const std::function<void()>& work);
    // The connection of the running batch (for copies).
    Connection& batchConnection();
    std::string name() const { return dbName; }

    Store(const std::string& db, bool create, StoreSettings settings);

private:
    friend class PostWriter;
    class Lease;
    // One transaction on the writer connection, or part of this thread's batch.
    void write(const std::function<void(Connection&)>& work);
    // The same for counts only: the content generation stays.
    void writeCounts(const std::function<void(Connection&)>& work);
    // A read on a pooled connection, or on the writer inside this thread's batch.
    void read(const std::function<void(Connection&)>& work);
    // Runs the shouts of one group commit; outcomes in the same order.
    std::vector<PostOutcome> commitPosts(const std::vector<std::pair<Shout, int64_t>>& posts);
    int64_t insertShout(Connection& c, const Shout& shout);
    // The wall clock in milliseconds, as pause rows keep it.
    static int64_t nowMs();

    std::string dbName;
    StoreSettings settings;

    std::mutex writeLock;  // held by this process's one writer at a time
    std::unique_ptr<Connection> writer;
    std::atomic<std::thread::id> batchThread{};

    std::mutex poolLock;
    std::condition_variable poolFreed;
    std::vector<std::unique_ptr<Connection>> idle;
    size_t opened = 0;

    std::mutex listenLock;
    std::unique_ptr<Connection> listener;

    PendingCounts pending;

    std::mutex postsLock;
    std::unique_ptr<PostWriter> posts;
};

}  // namespace srv
