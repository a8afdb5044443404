// A thin owner of one SQLite connection and its prepared statements. Every
// failure throws DatabaseError with SQLite's message, so callers keep one
// error path per transaction.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace srv {

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binding counts from 1, as in SQL.
    Statement& bind(int index, const std::string& text);
    Statement& bind(int index, int64_t value);
    // True while a row is ready; false when done.
    bool step();
    // Runs to the end, ignoring rows.
    void run();
    std::string text(int column) const;
    int64_t integer(int column) const;

private:
    sqlite3* db;
    sqlite3_stmt* statement = nullptr;  // owned
};

class Database {
public:
    // Opens an existing file (create = false) or creates it.
    Database(const std::string& file, bool create);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const std::string& sql);
    Statement prepare(const std::string& sql) { return Statement(db, sql); }
    int64_t lastInsertId() const { return sqlite3_last_insert_rowid(db); }
    int changes() const { return sqlite3_changes(db); }
    // One integer from a query with one row and column.
    int64_t scalar(const std::string& sql);

private:
    sqlite3* db = nullptr;  // owned
};

// BEGIN IMMEDIATE ... COMMIT, rolled back when the scope ends early.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    void commit();

private:
    Database& db;
    bool done = false;
};

}  // namespace srv
