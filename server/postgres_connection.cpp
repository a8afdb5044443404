#include "server/postgres_connection.h"

#include <cstdlib>
#include <vector>

namespace srv {

namespace {

const char* const changeChannel = "lumen_changes";

std::string oneLine(const char* message) {
    std::string text = message ? message : "unknown error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

void check(PGconn* conn, const Result& result, const std::string& what) {
    ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw DatabaseError(what + ": " + oneLine(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(conn)));
}

class PostgresStatement : public Statement {
public:
    PostgresStatement(PGconn* conn, std::string name, const std::string& sql) : conn(conn), name(std::move(name)) {
        Result prepared(PQprepare(conn, this->name.c_str(), PostgresConnection::numberedPlaceholders(sql).c_str(), 0,
                                  nullptr),
                        &PQclear);
        check(conn, prepared, "prepare");
        Result described(PQdescribePrepared(conn, this->name.c_str()), &PQclear);
        check(conn, described, "describe");
        params.resize(static_cast<size_t>(PQnparams(described.get())));
        isSet.resize(params.size());
    }
    void reset() {
        result.reset();
        row = -1;
        for (size_t i = 0; i < params.size(); ++i) isSet[i] = false;
    }
    Statement& bind(int index, const std::string& text) override {
        slot(index) = text;
        isSet[static_cast<size_t>(index - 1)] = true;
        return *this;
    }
    Statement& bind(int index, int64_t value) override { return bind(index, std::to_string(value)); }
    Statement& bindNull(int index) override {
        slot(index);
        isSet[static_cast<size_t>(index - 1)] = false;
        return *this;
    }
    bool step() override {
        if (!result) {
            std::vector<const char*> values(params.size());
            for (size_t i = 0; i < params.size(); ++i) values[i] = isSet[i] ? params[i].c_str() : nullptr;
            result.reset(PQexecPrepared(conn, name.c_str(), static_cast<int>(params.size()), values.data(), nullptr,
                                        nullptr, 0));
            check(conn, result, "query");
        }
        return ++row < PQntuples(result.get());
    }
    std::string text(int column) const override {
        return std::string(PQgetvalue(result.get(), row, column),
                           static_cast<size_t>(PQgetlength(result.get(), row, column)));
    }
    int64_t integer(int column) const override {
        return std::strtoll(PQgetvalue(result.get(), row, column), nullptr, 10);
    }
    bool isNull(int column) const override { return PQgetisnull(result.get(), row, column) == 1; }
    int64_t changes() const override {
        const char* n = result ? PQcmdTuples(result.get()) : "";
        return *n ? std::strtoll(n, nullptr, 10) : 0;
    }

private:
    std::string& slot(int index) {
        if (index < 1 || static_cast<size_t>(index) > params.size())
            throw DatabaseError("bind: no parameter " + std::to_string(index));
        return params[static_cast<size_t>(index - 1)];
    }

    PGconn* conn;
    std::string name;
    std::vector<std::string> params;
    std::vector<bool> isSet;
    Result result{nullptr, &PQclear};
    int row = -1;
};

}  // namespace

std::string withoutPassword(const std::string& url) {
    std::string out = url;
    // "?password=..." in a URL, "password=..." in a keyword string.
    for (size_t at = out.find("password="); at != std::string::npos; at = out.find("password=", at + 1)) {
        size_t value = at + std::string("password=").size();
        size_t end = out.find_first_of("& ", value);
        out.replace(value, (end == std::string::npos ? out.size() : end) - value, "***");
    }
    size_t scheme = out.find("://");
    size_t at = out.find('@');
    if (scheme == std::string::npos || at == std::string::npos) return out;
    size_t colon = out.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return out;
    return out.substr(0, colon) + out.substr(at);
}

PostgresConnection::PostgresConnection(const std::string& url) : url(url), shownName(withoutPassword(url)) {
    conn = PQconnectdb(url.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string message = oneLine(PQerrorMessage(conn));
        PQfinish(conn);
        conn = nullptr;
        throw DatabaseError("cannot connect to " + shownName + ": " + message);
    }
    // Notices (such as "relation exists") are not the server's to print.
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    exec("SET client_encoding = 'UTF8'; SET synchronous_commit = on");
}

PostgresConnection::~PostgresConnection() {
    statements.clear();
    PQfinish(conn);
}

std::string PostgresConnection::numberedPlaceholders(const std::string& sql) {
    std::string out;
    int n = 0;
    bool quoted = false;
    for (char c : sql) {
        if (c == '\'') quoted = !quoted;
        if (c == '?' && !quoted) {
            out += "$" + std::to_string(++n);
        } else {
            out += c;
        }
    }
    return out;
}

void PostgresConnection::reconnectIfLost() {
    if (PQstatus(conn) == CONNECTION_OK) return;
    statements.clear();
    listening = false;
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK)
        throw DatabaseError("lost " + shownName + ": " + oneLine(PQerrorMessage(conn)));
}

Statement& PostgresConnection::query(const std::string& sql) {
    reconnectIfLost();
    auto found = statements.find(sql);
    if (found == statements.end()) {
        std::string name = "s" + std::to_string(++nextStatement);
        found = statements.emplace(sql, std::make_unique<PostgresStatement>(conn, name, sql)).first;
    }
    auto& statement = static_cast<PostgresStatement&>(*found->second);
    statement.reset();
    return statement;
}

void PostgresConnection::exec(const std::string& sql) {
    reconnectIfLost();
    Result result(PQexec(conn, sql.c_str()), &PQclear);
    check(conn, result, "exec");
}

void PostgresConnection::announceChange() {
    query(std::string("SELECT pg_notify('") + changeChannel + "', '')").run();
}

int64_t PostgresConnection::changesSeen() {
    if (!listening || PQstatus(conn) != CONNECTION_OK) {
        reconnectIfLost();
        exec(std::string("LISTEN ") + changeChannel);
        listening = true;
        return ++heard;  // a new session may have missed some: count one
    }
    if (PQconsumeInput(conn) == 0) {
        reconnectIfLost();
        return ++heard;
    }
    while (PGnotify* note = PQnotifies(conn)) {
        ++heard;
        PQfreemem(note);
    }
    return heard;
}

}  // namespace srv
