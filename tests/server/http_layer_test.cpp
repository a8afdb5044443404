// The community server's HTTP layer over raw loopback sockets: pipelining,
// the limits on heads, connections and bodies, ranges and what counts as a
// download or a read, symbolic links, failures, and the request log.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "server/sqlite_connection.h"
#include "tests/server/server_test_support.h"
#include "tests/support/demo_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// A client socket from `source` (any 127.0.0.0/8 address) to the server.
class RawClient {
public:
    RawClient(int port, const std::string& source = "127.0.0.1") : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in from{AF_INET, 0, {::inet_addr(source.c_str())}, {}};
        sockaddr_in to{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from), 0);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    }
    ~RawClient() { ::close(fd); }

    bool send(const std::string& bytes) {
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // What arrives until the server closes or `timeoutMs` pass.
    std::string readAll(int timeoutMs = 5000) {
        std::string got;
        char buf[65536];
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        auto left = [&] { return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count(); };
        for (pollfd p{fd, POLLIN, 0}; left() > 0 && ::poll(&p, 1, static_cast<int>(left()) + 1) > 0;) {
            ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if ((closedByServer = n <= 0)) break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }
    // True when the server closes within `timeoutMs`.
    bool closedWithin(int timeoutMs) {
        readAll(timeoutMs);
        return closedByServer;
    }

private:
    int fd;
    bool closedByServer = false;
};

std::string request(const std::string& target, const std::string& extra = "", const char* method = "GET") {
    return std::string(method) + " " + target + " HTTP/1.1\r\nHost: t\r\nUser-Agent: CORVANENEWS\r\n" + extra + "\r\n";
}

std::string closing(const std::string& target, const std::string& extra = "", const char* method = "GET") {
    return request(target, extra + "Connection: close\r\n", method);
}

// One request on its own connection: the whole reply.
std::string ask(const DemoServer& server, const std::string& bytes) {
    RawClient client(server.port());
    client.send(bytes);
    return client.readAll();
}

int statusOf(const std::string& reply) {
    return reply.size() > 12 && reply.rfind("HTTP/1.", 0) == 0 ? std::stoi(reply.substr(9, 3)) : 0;
}

std::string bodyOf(const std::string& reply) {
    size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? "" : reply.substr(end + 4);
}

// The nine statistics lines, asked without counting (not the plug-in's agent).
// Counts are gathered in memory and added to the database once a second.
constexpr auto countsFlushed = std::chrono::milliseconds(1300);

std::vector<std::string> statistics(const DemoServer& server) {
    return lines(bodyOf(ask(server, "GET /lumennews/index.php?op=outmestats2 HTTP/1.1\r\nConnection: close\r\n\r\n")));
}

const std::string download = "/lumennews/files/weatherglobe_1.2.tar.gz";
const std::string script = "/lumennews/index.php?op=";

}  // namespace

TEST(HttpLayer, PipelinedRequestsAreAnsweredInOrder) {
    DemoServer server;
    RawClient client(server.port());
    client.send(request(script + "outmestats2") + request(script + "outcat&cat=Keys") + request("/nothing") +
                closing(script + "outfile&idf=11"));
    std::string replies = client.readAll();
    std::vector<int> statuses;
    std::regex statusLine("HTTP/1\\.1 ([0-9]{3}) ");
    for (std::sregex_iterator i(replies.begin(), replies.end(), statusLine), end; i != end; ++i)
        statuses.push_back(std::stoi((*i)[1]));
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 404, 200}));
    // The statistics, then the 404, then the file's page.
    EXPECT_THAT(replies, testing::ContainsRegex("weatherglobe_1\\.2\\.tar\\.gz\n.*HTTP/1\\.1 404 .*Ferrocam"));
}

TEST(HttpLayer, ADrippingHeadIsClosedAtItsDeadlineWhileOthersAreServed) {
    DemoServer server;
    RawClient dripper(server.port(), "127.0.0.2");
    const std::string head = request(script + "outme");
    auto started = Clock::now();
    bool closed = false;
    for (size_t i = 0; i < head.size() && Clock::now() - started < std::chrono::seconds(14); ++i) {
        if (!dripper.send(head.substr(i, 1)) || dripper.closedWithin(500)) {
            closed = true;
            break;
        }
        if (i == 3) {  // meanwhile an ordinary client
            auto asked = Clock::now();
            EXPECT_EQ(statusOf(ask(server, closing(script + "outmestats2"))), 200);
            EXPECT_LT(Clock::now() - asked, std::chrono::seconds(2));
        }
    }
    EXPECT_TRUE(closed);
    EXPECT_GE(Clock::now() - started, std::chrono::seconds(9));
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(13));
}

TEST(HttpLayer, OversizedRequestsAreRefused) {
    DemoServer server({"--max-body", "1000"});
    std::string manyHeaders, longHeader = "X-Long: " + std::string(9000, 'h') + "\r\n";
    for (int i = 0; i < 65; ++i) manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
    const struct {
        const char* what;
        std::string bytes;
        int status;
    } cases[] = {
        {"URL over 8 KiB", closing(script + "outme&pad=" + std::string(8200, 'u')), 414},
        {"URL just under", closing(script + "outme&pad=" + std::string(8000, 'u')), 200},
        {"65 header fields", closing(script + "outme", manyHeaders), 431},
        {"one 9 KB field", closing(script + "outme", longHeader), 431},
        {"a megabyte of fields", closing(script + "outme", std::string(1 << 20, 'x')), 431},
        {"body over --max-body", closing(script + "outme", "Content-Length: 1001\r\n", "POST") + std::string(1001, 'b'),
         413},
        {"method", closing(script + "outme", "", "DELETE"), 405},
        {"garbage", "\x01\x02 nonsense\r\n\r\n", 400},
    };
    for (const auto& c : cases) EXPECT_EQ(statusOf(ask(server, c.bytes)), c.status) << c.what;
}

TEST(HttpLayer, ConnectionCapsPerAddressAndInTotal) {
    DemoServer server({"--max-per-address", "2", "--max-connections", "3"});
    RawClient first(server.port(), "127.0.0.3"), second(server.port(), "127.0.0.3"), third(server.port(), "127.0.0.3");
    EXPECT_TRUE(third.closedWithin(1000)) << "a third connection of one address";
    EXPECT_FALSE(second.closedWithin(200));
    // Full: the connection that has waited longest goes for a new client.
    RawClient other(server.port(), "127.0.0.4");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    RawClient newcomer(server.port(), "127.0.0.5");
    newcomer.send(closing(script + "outmestats2"));
    EXPECT_EQ(statusOf(newcomer.readAll()), 200);
    EXPECT_TRUE(first.closedWithin(1000));
    EXPECT_FALSE(other.closedWithin(200));
}

TEST(HttpLayer, OneRangeIsServedAndOnlyWholeDownloadsCount) {
    DemoServer server;
    const std::string whole = bodyOf(ask(server, "GET " + download + " HTTP/1.1\r\nConnection: close\r\n\r\n"));
    ASSERT_EQ(whole.size(), 398u);
    std::this_thread::sleep_for(countsFlushed);
    const struct {
        const char* what;
        std::string bytes;
        int status;
        std::string body, contentRange;
        int counted;
    } cases[] = {
        {"one range", closing(download, "Range: bytes=10-19\r\n"), 206, whole.substr(10, 10), "bytes 10-19/398", 0},
        {"the last byte", closing(download, "Range: bytes=-1\r\n"), 206, whole.substr(397), "bytes 397-397/398", 0},
        {"several ranges", closing(download, "Range: bytes=0-1,5-9\r\n"), 200, whole, "", 1},
        {"a range of everything", closing(download, "Range: bytes=0-\r\n"), 206, whole, "bytes 0-397/398", 1},
        {"past the end", closing(download, "Range: bytes=400-\r\n"), 416, "", "bytes */398", 0},
        {"no range", closing(download), 200, whole, "", 1},
        {"HEAD", closing(download, "", "HEAD"), 200, "", "", 0},
    };
    for (const auto& c : cases) {
        long before = std::stol(statistics(server).at(8));
        std::string reply = ask(server, c.bytes);
        EXPECT_EQ(statusOf(reply), c.status) << c.what;
        EXPECT_EQ(bodyOf(reply), c.body) << c.what;
        std::smatch range;
        std::regex_search(reply, range, std::regex("Content-Range: ([^\r]*)\r\n"));
        EXPECT_EQ(range.empty() ? "" : range[1].str(), c.contentRange) << c.what;
        std::this_thread::sleep_for(countsFlushed);
        EXPECT_EQ(std::stol(statistics(server).at(8)) - before, c.counted) << c.what;
    }
    std::string page = ask(server, closing(script + "outme", "Range: bytes=0-9\r\n"));
    EXPECT_EQ(statusOf(page), 200) << "a range on a script reply";
    EXPECT_GT(bodyOf(page).size(), 10u);
}

TEST(HttpLayer, HeadCountsNothing) {
    DemoServer server;
    auto before = statistics(server);
    std::string head = ask(server, closing(script + "article&sid=101", "", "HEAD"));
    EXPECT_EQ(statusOf(head), 200);
    EXPECT_EQ(bodyOf(head), "");
    EXPECT_NE(head.find("Content-Length: "), std::string::npos);
    EXPECT_EQ(statusOf(ask(server, closing(script + "inme&n=Head&p=not_posted", "", "HEAD"))), 405);
    std::this_thread::sleep_for(countsFlushed);
    auto after = statistics(server);
    EXPECT_EQ(after[0], before[0]) << "plug-in requests";
    EXPECT_EQ(after[4], before[4]) << "shouts";
    EXPECT_EQ(after[6], before[6]) << "reads of the most-read news";
}

TEST(HttpLayer, ASymbolicLinkInTheFilesFolderIsNotFollowed) {
    DemoServer server;
    const std::string file = server.folder() + "/files/weatherglobe_1.2.tar.gz";
    std::ofstream(server.folder() + "/secret") << "not for download";
    std::filesystem::remove(file);
    std::filesystem::create_symlink(server.folder() + "/secret", file);
    std::string reply = ask(server, closing(download));
    EXPECT_EQ(statusOf(reply), 404);
    EXPECT_EQ(reply.find("not for download"), std::string::npos);
}

TEST(HttpLayer, AFailureAnswersAPlain500Page) {
    DemoServer server;
    srv::SqliteConnection(server.database(), false).exec("DROP TABLE shouts");
    std::string reply;  // the change reaches the cache within a second
    EXPECT_TRUE(within(std::chrono::seconds(3), [&] {
        return statusOf(reply = ask(server, closing(script + "outme"))) == 500;
    }));
    EXPECT_NE(bodyOf(reply).find("500 Internal Server Error"), std::string::npos);
    EXPECT_EQ(reply.find("shouts"), std::string::npos) << reply;
    EXPECT_EQ(reply.find("EXCEPTION"), std::string::npos) << reply;
}

TEST(HttpLayer, TheLogCutsEachFieldAndIsReopenedOnSighup) {
    TempFolder dir;
    const std::string log = dir / "requests.log";
    {
        DemoServer server({"--log", log});
        ask(server, "GET " + script + "outme&pad=" + std::string(8000, 'u') + " HTTP/1.1\r\nUser-Agent: " +
                             std::string(6000, 'a') + "\r\nConnection: close\r\n\r\n");
        std::filesystem::rename(log, log + ".1");
        ASSERT_EQ(::kill(server.pid(), SIGHUP), 0);
        within(std::chrono::seconds(1), [&] { return std::filesystem::exists(log); });
        ask(server, closing(script + "outmestats2"));
    }
    std::string line = lines(fileBytes(log + ".1")).at(0);
    EXPECT_LT(line.size(), 2 * 512 + 100u);
    EXPECT_NE(line.find("uuu... HTTP/1.1 User-Agent: aaa"), std::string::npos) << line.substr(0, 80);
    EXPECT_EQ(line.substr(line.size() - 6), "aaa...");
    line = lines(fileBytes(log)).at(0);
    EXPECT_NE(line.find("op=outmestats2"), std::string::npos) << line;
}
