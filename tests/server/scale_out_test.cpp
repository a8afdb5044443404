// Two servers on one PostgreSQL database behind nginx, as a community
// that outgrew one machine runs them: posts stored exactly once, counts
// exact over both, a change through one seen by the other within a
// second, and a server killed mid-load losing no acknowledged post.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "tests/server/server_test_support.h"
#include "tests/support/demo_server.h"

extern char** environ;

namespace {

const char* const scriptPath = "/lumennews/index.php?";

int freePort() {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(s);
    return ntohs(a.sin_port);
}

// nginx in the foreground, from a config written into `dir`, stopped with the object.
class Balancer {
public:
    Balancer(const std::string& dir, const std::vector<int>& upstreams) : port(freePort()) {
        std::ofstream conf(dir + "/nginx.conf");
        conf << "daemon off;\nworker_processes 1;\npid " << dir << "/nginx.pid;\nerror_log " << dir
             << "/error.log;\nevents { worker_connections 1024; }\nhttp {\n  access_log off;\n"
             << "  client_body_temp_path " << dir << "; proxy_temp_path " << dir << "; fastcgi_temp_path " << dir
             << ";\n  uwsgi_temp_path " << dir << "; scgi_temp_path " << dir << ";\n"
             << "  upstream lumen {\n";
        for (int p : upstreams) conf << "    server 127.0.0.1:" << p << " max_fails=1 fail_timeout=10s;\n";
        conf << "    keepalive 16;\n  }\n  server {\n    listen 127.0.0.1:" << port << ";\n"
             << "    location / {\n      proxy_pass http://lumen;\n      proxy_http_version 1.1;\n"
             << "      proxy_set_header Connection \"\";\n"
             << "      # A post is a GET: never sent twice, even when a server dies.\n"
             << "      proxy_next_upstream off;\n    }\n  }\n}\n";
        conf.close();
        std::string confPath = dir + "/nginx.conf";
        const char* argv[] = {"nginx", "-c", confPath.c_str(), "-p", dir.c_str(), nullptr};
        if (posix_spawnp(&pid, "nginx", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            throw std::runtime_error("cannot start nginx");
        if (!within(std::chrono::seconds(5), [&] { return bool(httplib::Client("127.0.0.1", port).Get(scriptPath)); }))
            throw std::runtime_error("nginx did not come up");
    }
    ~Balancer() {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    const int port;

private:
    pid_t pid = -1;
};

class ScaleOut : public testing::Test {
protected:
    void SetUp() override {
        // The first server fills the database the second one shares.
        servers[0] = std::make_unique<DemoServer>(std::vector<std::string>{}, database.db());
        servers[1] = std::make_unique<DemoServer>(std::vector<std::string>{}, database.db(), false);
        nginx = std::make_unique<Balancer>(folder.path(), std::vector<int>{servers[0]->port(), servers[1]->port()});
    }
    // The shouts in the database, message by message, with their copies.
    std::map<std::string, int> storedMessages() {
        std::string listed;
        EXPECT_EQ(runServerTool({"shouts", "--db", database.db()}, listed), 0) << listed;
        std::map<std::string, int> out;
        for (const std::string& line : lines(listed)) out[line.substr(line.rfind('\t') + 1)] += 1;
        return out;
    }
    // The statistics line `index` as the content tool reads the database.
    long statistic(size_t index) {
        std::string output;
        EXPECT_EQ(runServerTool({"stats", "--db", database.db()}, output), 0) << output;
        return std::stol(lines(output).at(index));
    }
    // Declared in the order they start: they stop the other way round.
    TempFolder folder;
    TestDatabase database{srv::Backend::Postgres};
    std::unique_ptr<DemoServer> servers[2];
    std::unique_ptr<Balancer> nginx;
};

TEST_F(ScaleOut, PostsAreStoredOnceCountsAreExactAndChangesReachBothServers) {
    constexpr int clients = 8, postsEach = 25, requests = 10000;
    inParallel(clients, [&](int c) {
        httplib::Client client("127.0.0.1", nginx->port);
        client.set_read_timeout(20, 0);
        for (int i = 0; i < postsEach; ++i) {
            auto res = client.Get(std::string(scriptPath) + "op=inme&n=C" + std::to_string(c) + "&p=post-" +
                                  std::to_string(c * postsEach + i) + "-end");
            EXPECT_TRUE(res && res->status == 200);
        }
    });
    auto stored = storedMessages();
    for (int n = 0; n < clients * postsEach; ++n) EXPECT_EQ(stored["post-" + std::to_string(n) + "-end"], 1) << n;

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // counts of the posts flushed
    const long requestsBefore = statistic(0), readsBefore = statistic(6);
    std::atomic<int> answered{0};
    inParallel(clients, [&](int) {
        httplib::Client client("127.0.0.1", nginx->port);
        for (int i = 0; i < requests / clients; ++i) {
            auto res = client.Get(std::string(scriptPath) + "op=article&sid=101", {{"User-Agent", "CORVANENEWS"}});
            answered += res && res->status == 200;
        }
    });
    EXPECT_EQ(answered, requests);
    // Both servers flush within seconds: wait for the count, then it must be exact.
    within(std::chrono::seconds(5), [&] { return statistic(0) >= requestsBefore + requests; });
    EXPECT_EQ(statistic(0), requestsBefore + requests);
    EXPECT_EQ(statistic(6), readsBefore + requests);

    // A shout through one server, looked for in the other's cached list.
    httplib::Client first("127.0.0.1", servers[0]->port()), second("127.0.0.1", servers[1]->port());
    ASSERT_TRUE(second.Get(std::string(scriptPath) + "op=outme"));  // cached there now
    ASSERT_TRUE(first.Get(std::string(scriptPath) + "op=inme&n=X&p=seen-by-the-other"));
    EXPECT_TRUE(within(std::chrono::seconds(1), [&] {
        auto res = second.Get(std::string(scriptPath) + "op=outme");
        return res && res->body.find("seen-by-the-other") != std::string::npos;
    }));
}

TEST_F(ScaleOut, AServerKilledMidLoadLosesNoAcknowledgedPostAndTheOtherGoesOn) {
    constexpr int clients = 8;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::set<std::string> acknowledged;
    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        servers[0]->kill();
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        stop = true;
    });
    inParallel(clients, [&](int c) {
        httplib::Client client("127.0.0.1", nginx->port);
        client.set_read_timeout(10, 0);
        for (int i = 0; i < 100 && !stop; ++i) {
            std::string message = "load-" + std::to_string(c) + "-" + std::to_string(i);
            auto res = client.Get(std::string(scriptPath) + "op=inme&n=L&p=" + message);
            if (res && res->status == 200 && res->body.find("saved, thank you") != std::string::npos) {
                std::lock_guard<std::mutex> guard(lock);
                acknowledged.insert(message);
            }
        }
    });
    killer.join();
    auto stored = storedMessages();
    EXPECT_GT(acknowledged.size(), 0u);
    for (const std::string& m : acknowledged) EXPECT_EQ(stored[m], 1) << m;
    // nginx has marked the dead one down: every request is answered by the other.
    httplib::Client client("127.0.0.1", nginx->port);
    int ok = 0;
    for (int i = 0; i < 20; ++i) {
        auto res = client.Get(std::string(scriptPath) + "op=outme");
        ok += res && res->status == 200;
    }
    EXPECT_GE(ok, 19);
}

}  // namespace
