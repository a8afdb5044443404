// One connection to the community's database, whichever kind it is, with
// its statements prepared once and kept for the connection's life. Not
// thread-safe: the store lends each connection to one thread at a time.
// Every failure throws DatabaseError with the database's own message.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace srv {

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A prepared statement. SQL is written with "?" placeholders for both
// back ends; binding counts from 1, as in SQL.
class Statement {
public:
    virtual ~Statement() = default;
    virtual Statement& bind(int index, const std::string& text) = 0;
    virtual Statement& bind(int index, int64_t value) = 0;
    virtual Statement& bindNull(int index) = 0;
    // Runs the statement on the first call; true while a row is ready.
    virtual bool step() = 0;
    virtual std::string text(int column) const = 0;
    virtual int64_t integer(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    // Rows written by the last run.
    virtual int64_t changes() const = 0;
    // Runs to the end, ignoring rows; returns changes().
    int64_t run() {
        while (step()) {
        }
        return changes();
    }
};

enum class Backend { Sqlite, Postgres };

class Connection {
public:
    virtual ~Connection() = default;
    virtual Backend backend() const = 0;
    // The statement for `sql`, prepared on first use, reset for new bindings.
    virtual Statement& query(const std::string& sql) = 0;
    // Statements without parameters or rows, several at once (migrations).
    virtual void exec(const std::string& sql) = 0;
    // A write transaction; BEGIN IMMEDIATE on SQLite so writers queue at
    // the start instead of failing at the end.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Tells the other processes on the database that a change was made;
    // part of the running transaction.
    virtual void announceChange() = 0;
    // Grows when any other connection, in any process, committed a change.
    virtual int64_t changesSeen() = 0;
    // The database's name for messages: a file, or a URL without password.
    virtual std::string name() const = 0;
};

// True for "postgresql://..." and "postgres://...": a libpq connection string.
bool isPostgresUrl(const std::string& db);
// Opens `db`: a PostgreSQL URL or an SQLite file (created when `create`).
std::unique_ptr<Connection> connect(const std::string& db, bool create);

// One scalar from a query with one row and column (0 without a row).
int64_t scalar(Connection& c, const std::string& sql);

// A write transaction rolled back when the scope ends without commit().
class Transaction {
public:
    explicit Transaction(Connection& c) : c(c) { c.begin(); }
    ~Transaction() {
        if (done) return;
        try {
            c.rollback();
        } catch (const DatabaseError&) {
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        c.commit();
        done = true;
    }

private:
    Connection& c;
    bool done = false;
};

}  // namespace srv
