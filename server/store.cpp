#include "server/store.h"

#include <sys/stat.h>

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

bool exists(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0;
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

int64_t Store::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
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
