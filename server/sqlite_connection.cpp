#include "server/sqlite_connection.h"

namespace srv {

namespace {

// A writer of another process holding the lock is waited for this long.
constexpr int busyTimeoutMs = 5000;

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw DatabaseError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

class SqliteStatement : public Statement {
public:
    SqliteStatement(sqlite3* db, const std::string& sql) : db(db) {
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
            fail(db, "prepare");
    }
    ~SqliteStatement() override { sqlite3_finalize(statement); }

    void reset() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        rowsChanged = -1;
    }
    Statement& bind(int index, const std::string& text) override {
        if (sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
            SQLITE_OK)
            fail(db, "bind");
        return *this;
    }
    Statement& bind(int index, int64_t value) override {
        if (sqlite3_bind_int64(statement, index, value) != SQLITE_OK) fail(db, "bind");
        return *this;
    }
    Statement& bindNull(int index) override {
        if (sqlite3_bind_null(statement, index) != SQLITE_OK) fail(db, "bind");
        return *this;
    }
    bool step() override {
        int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) {
            std::string message = sqlite3_errmsg(db);
            sqlite3_reset(statement);
            throw DatabaseError("step: " + message);
        }
        if (rowsChanged < 0) rowsChanged = sqlite3_changes(db);
        return false;
    }
    std::string text(int column) const override {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : "";
    }
    int64_t integer(int column) const override { return sqlite3_column_int64(statement, column); }
    bool isNull(int column) const override { return sqlite3_column_type(statement, column) == SQLITE_NULL; }
    // A RETURNING row counts as changed before the statement is done.
    int64_t changes() const override { return rowsChanged < 0 ? sqlite3_changes(db) : rowsChanged; }

private:
    sqlite3* db;
    sqlite3_stmt* statement = nullptr;  // owned
    int64_t rowsChanged = -1;
};

}  // namespace

SqliteConnection::SqliteConnection(const std::string& file, bool create) : file(file) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        db = nullptr;
        throw DatabaseError("cannot open " + file + ": " + message);
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
}

SqliteConnection::~SqliteConnection() {
    statements.clear();
    sqlite3_close(db);
}

Statement& SqliteConnection::query(const std::string& sql) {
    auto found = statements.find(sql);
    if (found == statements.end())
        found = statements.emplace(sql, std::make_unique<SqliteStatement>(db, sql)).first;
    auto& statement = static_cast<SqliteStatement&>(*found->second);
    statement.reset();
    return statement;
}

void SqliteConnection::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "error";
        sqlite3_free(message);
        throw DatabaseError(text);
    }
}

int64_t SqliteConnection::changesSeen() { return scalar(*this, "PRAGMA data_version"); }

}  // namespace srv
