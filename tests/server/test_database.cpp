#include "tests/server/test_database.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

#include "server/postgres_connection.h"

namespace {

std::string clusterUrl() {
    std::ifstream in(std::string(LUMEN_TEST_PG_DIR) + "/url");
    std::string url;
    if (!std::getline(in, url)) throw std::runtime_error("no PostgreSQL test cluster; run the tests through ctest");
    return url;
}

std::string onDatabase(const std::string& clusterUrl, const std::string& name) {
    return clusterUrl.substr(0, clusterUrl.rfind('/') + 1) + name;
}

}  // namespace

std::string backendName(srv::Backend backend) { return backend == srv::Backend::Sqlite ? "sqlite" : "postgres"; }

TestDatabase::TestDatabase(srv::Backend backend, const std::string& folder) : backend(backend) {
    if (backend == srv::Backend::Sqlite) {
        url = folder + "/community.db";
        return;
    }
    static std::atomic<int> made{0};
    name = "t" + std::to_string(::getpid()) + "_" + std::to_string(++made);
    srv::PostgresConnection(clusterUrl()).exec("CREATE DATABASE " + name);
    url = onDatabase(clusterUrl(), name);
}

TestDatabase::~TestDatabase() {
    if (name.empty()) return;
    try {
        srv::PostgresConnection(clusterUrl()).exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    } catch (const std::exception&) {
    }
}

std::vector<std::string> TestDatabase::serverOptions() const {
    if (backend == srv::Backend::Sqlite) return {};
    return {"--database", url};
}

void TestDatabase::admin(const std::string& sql) const { srv::PostgresConnection(url).exec(sql); }
