// A database for one test on either back end: an SQLite file in a folder,
// or a new database on the throwaway PostgreSQL cluster that ctest starts
// (scripts/pg-cluster.sh, fixture "postgres"), dropped afterwards.
#pragma once
#include <string>
#include <vector>

#include "server/connection.h"

class TestDatabase {
public:
    TestDatabase(srv::Backend backend, const std::string& folder);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // What --db takes: a file (not made yet) or a postgresql:// URL.
    const std::string& db() const { return url; }
    // DemoServer options that serve this database ({} for SQLite: its own file).
    std::vector<std::string> serverOptions() const;
    // Runs SQL as the cluster's superuser on this database (PostgreSQL only).
    void admin(const std::string& sql) const;

private:
    srv::Backend backend;
    std::string name;
    std::string url;
};

// "sqlite" or "postgres", for test names.
std::string backendName(srv::Backend backend);
