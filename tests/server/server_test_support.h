// Set-up shared by the server's tests: a folder of the test's own, files
// read and written whole, reply lines, the content tools run in process,
// a request to the plug-in's script, and a database on either back end.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server/connection.h"
#include "server/site.h"

// A database for one test on either back end: an SQLite file (`sqliteFile`,
// not made yet), or a new database on the throwaway PostgreSQL cluster that
// ctest starts (scripts/pg-cluster.sh, fixture "postgres"), dropped afterwards.
class TestDatabase {
public:
    explicit TestDatabase(srv::Backend backend, const std::string& sqliteFile = "");
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // What --db takes: a file (not made yet) or a postgresql:// URL.
    const std::string& db() const { return url; }
    // Runs SQL as the cluster's superuser on this database (PostgreSQL only).
    void admin(const std::string& sql) const;

private:
    std::string name;
    std::string url;
};

// A new folder under /tmp, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return dir; }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return dir + "/" + name; }

private:
    std::string dir;
};

std::string fileBytes(const std::string& path);
// `bytes` in an open file, rewound, as the plug-in's readers take a reply.
std::unique_ptr<FILE, int (*)(FILE*)> asFile(const std::string& bytes);
void writeFile(const std::string& path, const std::string& bytes);
std::vector<std::string> lines(const std::string& text);

// Runs a content tool in process, e.g. {"ban", "--db", db, "--nick", "x"}:
// its exit code.
int runTool(const std::vector<std::string>& commandAndOptions);

// Runs work(0) ... work(count - 1) each on a thread of its own, and waits for all.
void inParallel(int count, const std::function<void(int)>& work);

// Asks `done` every 20 ms until it is true (true) or `limit` has passed (false).
bool within(std::chrono::milliseconds limit, const std::function<bool()>& done);

// A GET of the plug-in's script with `query`, from `address`.
srv::Request scriptRequest(const std::string& query, const std::string& address = "");

// A fresh database on the parameter's back end, in a folder of its own.
class OnBackend : public testing::TestWithParam<srv::Backend> {
protected:
    TempFolder folder;
    TestDatabase database{GetParam(), folder / "community.db"};  // after its folder: dropped before it
};

// The suite on SQLite and on PostgreSQL, the back end last in each name.
#define INSTANTIATE_ON_BOTH_BACKENDS(suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, testing::Values(srv::Backend::Sqlite, srv::Backend::Postgres), \
                             [](const testing::TestParamInfo<srv::Backend>& info) {                         \
                                 return info.param == srv::Backend::Sqlite ? "sqlite" : "postgres";         \
                             })
