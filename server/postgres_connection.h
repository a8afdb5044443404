// The PostgreSQL back end through libpq: statements prepared once per
// session, changes announced with NOTIFY and heard with LISTEN.
#pragma once
#include <libpq-fe.h>

#include <map>
#include <memory>
#include <string>

#include "server/connection.h"

namespace srv {

class PostgresConnection : public Connection {
public:
    explicit PostgresConnection(const std::string& url);
    ~PostgresConnection() override;

    Backend backend() const override { return Backend::Postgres; }
    Statement& query(const std::string& sql) override;
    void exec(const std::string& sql) override;
    void begin() override { exec("BEGIN"); }
    void commit() override { exec("COMMIT"); }
    void rollback() override { exec("ROLLBACK"); }
    void announceChange() override;
    // The first call starts listening; later ones count what was heard.
    int64_t changesSeen() override;
    std::string name() const override { return shownName; }

    // "?" placeholders as "$1", "$2", ...; quoted text left alone.
    static std::string numberedPlaceholders(const std::string& sql);

private:
    // After a lost connection: a new session, whose statements are new too.
    void reconnectIfLost();

    std::string url;
    std::string shownName;
    PGconn* conn = nullptr;  // owned
    std::map<std::string, std::unique_ptr<Statement>> statements;
    int nextStatement = 0;
    bool listening = false;
    int64_t heard = 0;
};

// The URL without its password, for messages.
std::string withoutPassword(const std::string& url);

}  // namespace srv
