#include "server/connection.h"

#include "server/postgres_connection.h"
#include "server/sqlite_connection.h"

namespace srv {

bool isPostgresUrl(const std::string& db) {
    return db.rfind("postgresql://", 0) == 0 || db.rfind("postgres://", 0) == 0;
}

std::unique_ptr<Connection> connect(const std::string& db, bool create) {
    if (isPostgresUrl(db)) return std::make_unique<PostgresConnection>(db);
    return std::make_unique<SqliteConnection>(db, create);
}

int64_t scalar(Connection& c, const std::string& sql) {
    Statement& s = c.query(sql);
    int64_t value = s.step() ? s.integer(0) : 0;
    s.run();
    return value;
}

}  // namespace srv
