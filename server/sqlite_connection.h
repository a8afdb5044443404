// The SQLite back end: one file, WAL, full syncs.
#pragma once
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>

#include "server/connection.h"

namespace srv {

class SqliteConnection : public Connection {
public:
    // Opens an existing file (create = false) or creates it.
    SqliteConnection(const std::string& file, bool create);
    ~SqliteConnection() override;

    Backend backend() const override { return Backend::Sqlite; }
    Statement& query(const std::string& sql) override;
    void exec(const std::string& sql) override;
    void begin() override { exec("BEGIN IMMEDIATE"); }
    void commit() override { exec("COMMIT"); }
    void rollback() override { exec("ROLLBACK"); }
    // Other connections see commits through PRAGMA data_version.
    void announceChange() override {}
    int64_t changesSeen() override;
    std::string name() const override { return file; }
    // True when SQLite opened the file read-only (its mode, or a read-only mount).
    bool readOnly() const { return sqlite3_db_readonly(db, "main") == 1; }

private:
    std::string file;
    sqlite3* db = nullptr;  // owned
    std::map<std::string, std::unique_ptr<Statement>> statements;
};

}  // namespace srv
