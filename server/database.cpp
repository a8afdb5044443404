#include "server/database.h"

namespace srv {

namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw DatabaseError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

}  // namespace

Statement::Statement(sqlite3* db, const std::string& sql) : db(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) fail(db, "prepare");
}

Statement::~Statement() { sqlite3_finalize(statement); }

Statement& Statement::bind(int index, const std::string& text) {
    if (sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        fail(db, "bind");
    return *this;
}

Statement& Statement::bind(int index, int64_t value) {
    if (sqlite3_bind_int64(statement, index, value) != SQLITE_OK) fail(db, "bind");
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(db, "step");
}

void Statement::run() {
    while (step()) {
    }
}

std::string Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : "";
}

int64_t Statement::integer(int column) const { return sqlite3_column_int64(statement, column); }

Database::Database(const std::string& file, bool create) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        db = nullptr;
        throw DatabaseError("cannot open " + file + ": " + message);
    }
    sqlite3_busy_timeout(db, 5000);
}

Database::~Database() { sqlite3_close(db); }

void Database::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "error";
        sqlite3_free(message);
        throw DatabaseError(text);
    }
}

int64_t Database::scalar(const std::string& sql) {
    Statement s = prepare(sql);
    return s.step() ? s.integer(0) : 0;
}

Transaction::Transaction(Database& db) : db(db) { db.exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (!done) {
        try {
            db.exec("ROLLBACK");
        } catch (const DatabaseError&) {
        }
    }
}

void Transaction::commit() {
    db.exec("COMMIT");
    done = true;
}

}  // namespace srv
