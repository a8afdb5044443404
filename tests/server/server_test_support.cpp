#include "tests/server/server_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "server/postgres_connection.h"
#include "server/tools.h"

TempFolder::TempFolder() {
    char pattern[] = "/tmp/lumen-server-test-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make a folder in /tmp");
    dir = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::unique_ptr<FILE, int (*)(FILE*)> asFile(const std::string& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::tmpfile(), &std::fclose);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

int runTool(const std::vector<std::string>& commandAndOptions) {
    std::vector<const char*> argv;
    for (const std::string& a : commandAndOptions) argv.push_back(a.c_str());
    return srv::runTool(argv[0], static_cast<int>(argv.size()) - 1, argv.data() + 1);
}

void inParallel(int count, const std::function<void(int)>& work) {
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i) threads.emplace_back(work, i);
    for (auto& t : threads) t.join();
}

bool within(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

srv::Request scriptRequest(const std::string& query, const std::string& address) {
    srv::Request request;
    request.path = "/lumennews/index.php";
    request.query = srv::Query(query);
    request.address = address;
    return request;
}

namespace {

std::string clusterUrl() {
    std::ifstream in(std::string(LUMEN_TEST_PG_DIR) + "/url");
    std::string url;
    if (!std::getline(in, url)) throw std::runtime_error("no PostgreSQL test cluster; run the tests through ctest");
    return url;
}

}  // namespace

TestDatabase::TestDatabase(srv::Backend backend, const std::string& sqliteFile) {
    if (backend == srv::Backend::Sqlite) {
        url = sqliteFile;
        return;
    }
    static std::atomic<int> made{0};
    name = "t" + std::to_string(::getpid()) + "_" + std::to_string(++made);
    const std::string cluster = clusterUrl();
    srv::PostgresConnection(cluster).exec("CREATE DATABASE " + name);
    url = cluster.substr(0, cluster.rfind('/') + 1) + name;
}

TestDatabase::~TestDatabase() {
    if (name.empty()) return;
    try {
        srv::PostgresConnection(clusterUrl()).exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    } catch (const std::exception&) {
    }
}

void TestDatabase::admin(const std::string& sql) const { srv::PostgresConnection(url).exec(sql); }
