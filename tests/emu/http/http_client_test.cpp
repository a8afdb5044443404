// The emulated host's HTTP client, used directly as the plug-in's fetcher
// uses it, against a loopback server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#include <chrono>
#include <functional>
#include <memory>
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "host/ehttp.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace {

// Iterates the main loop until `done` holds or `limit` has passed;
// returns done().
inline bool runUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) mainloop().iterate(50);
    return done();
}

// Until no transfer is in flight.
inline bool runUntilQuiet(std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    return runUntil([] { return mainloop().busyCount() == 0; }, limit);
}

// The client's own file calls must land under the test root, never in the
// machine's /var/tmp.
inline void expectRedirectedDownloads(const BoxRoot& root) {
    const char* probe = "/var/tmp/redirect-probe.tmp";
    {
        eHTTPDownload sink(nullptr, probe);
        sink.finished(0);
    }
    const bool redirected = root.exists(probe);
    ::unlink(probe);  // wherever it landed
    ASSERT_TRUE(redirected) << "downloads are not redirected into the test root";
}


const char* const target = "/var/tmp/rss.tmp";

// Receives one transfer as a window's fetcher does: its slots go with it.
struct Outcome : SigC::Object {
    std::string file;
    int code = 1;  // 1: transferDone never came
    int done = 0;
    int sinks = 0;
    int busyInHandler = -1;
    eHTTPDataSource* sink(eHTTPConnection* connection) {
        ++sinks;
        return new eHTTPDownload(connection, file.c_str());
    }
    void finished(int result) {
        code = result;
        ++done;
        busyInHandler = mainloop().busyCount();
    }
};

// Starts a GET of `url` into `file`, as the fetcher does.
eHTTPConnection* startDownload(const std::string& url, const std::string& file, Outcome& outcome,
                               std::map<eString, eString> headers = {}) {
    int error = 0;
    eHTTPConnection* connection = eHTTPConnection::doRequest(url.c_str(), eApp, &error);
    if (!connection) {
        ADD_FAILURE() << "doRequest refused " << url << " with " << error;
        return nullptr;
    }
    EXPECT_EQ(error, 0);
    outcome.file = file;
    connection->createDataSink.connect(SigC::slot(outcome, &Outcome::sink));
    connection->transferDone.connect(SigC::slot(outcome, &Outcome::finished));
    connection->local_header = std::move(headers);
    connection->start();
    return connection;
}

Outcome download(const std::string& url) {
    Outcome outcome;
    startDownload(url, target, outcome);
    EXPECT_TRUE(runUntilQuiet()) << "transfer of " << url << " never ended";
    return outcome;
}

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(expectRedirectedDownloads(root)); }
    void TearDown() override { emu::setHttpConnectTo(""); }
    BoxRoot root;
    LoopbackServer server;
};

// The bodies of single replies are in the raw replies' table.
TEST_F(HttpClient, DownloadReplacesTheTargetWithTheBodyAfterUpToFiveRedirects) {
    for (int hop = 1; hop <= 5; ++hop) server.redirect("/hop" + std::to_string(hop), "/hop" + std::to_string(hop - 1), 301);
    server.serve("/hop0", "arrived");
    root.write(target, "old content");
    Outcome outcome = download(server.url("/hop5"));
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.sinks, 1);
    EXPECT_EQ(root.read(target), "arrived");
    EXPECT_EQ(filesIn(root.path("/var/tmp")), std::vector<std::string>{"rss.tmp"});
}

// The request as it leaves: the header table without injected lines, to the
// server that the connect-to mapping names.
TEST_F(HttpClient, SendsTheHeaderTableButNoInjectedLinesWhereConnectToSays) {
    server.serve("/lumennews/index.php", "mapped");
    emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    Outcome outcome;
    startDownload("http://news.corvane.example/lumennews/index.php?op=outmerss", target, outcome,
                  {{"User-Agent", "CORVANENEWS"}, {"X-Evil", "a\r\nInjected: yes"}, {"X-Fine", "1"}});
    ASSERT_TRUE(runUntilQuiet());
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(root.read(target), "mapped");
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/lumennews/index.php?op=outmerss");
    EXPECT_EQ(requests[0].header("Host"), "news.corvane.example");
    EXPECT_EQ(requests[0].header("User-Agent"), "CORVANENEWS");
    EXPECT_EQ(requests[0].header("X-Fine"), "1");
    EXPECT_FALSE(requests[0].hasHeader("Injected"));
    EXPECT_FALSE(requests[0].hasHeader("X-Evil"));
}

TEST_F(HttpClient, UnrequestableUrlsAreRefusedAtOnce) {
    const char* const urls[] = {"", "not a url", "http://", "http://:80/feed", "file:///etc/passwd",
                                "ftp://127.0.0.1/feed", "gopher://127.0.0.1/", "news.corvane.example/feed",
                                "http://exa mple.com/", nullptr};
    for (const char* url : urls) {
        int error = 0;
        EXPECT_EQ(eHTTPConnection::doRequest(url, eApp, &error), nullptr) << url;
        EXPECT_EQ(error, eHTTPConnection::errorBadUrl) << url;
    }
    EXPECT_EQ(mainloop().busyCount(), 0);
}

TEST_F(HttpClient, FullDiskIsASinkErrorAndSparesTheTarget) {
    server.serve("/big", std::string(64 * 1024, 'b'));
    root.write(target, "old content");
    // A file size limit makes write() fail the way a full disk does.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    Outcome outcome = download(server.url("/big"));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome.code, eHTTPConnection::errorSink);
    EXPECT_EQ(root.read(target), "old content");
    EXPECT_EQ(filesIn(root.path("/var/tmp")), std::vector<std::string>{"rss.tmp"});
}

// Only a final 200 whose body arrived whole is a success. Every transfer
// counts as busy until its done has been emitted (a wait for quiet may end
// inside the handler, which can run the next modal window). Every failure is
// reported once, with its code, within the stall time-out; a status other
// than 200 makes no sink; the old target stays as it was.
TEST(HttpClientRawReplies, EachFailureHasItsOwnCodeAndSparesTheTarget) {
    const std::string ok = "HTTP/1.0 200 OK\r\n\r\n", file = "/var/tmp/r.tmp", old(40, 'o');
    const auto status = [](const std::string& line, const std::string& rest = "") {
        return RawReply{RawReply::Close, "HTTP/1.1 " + line + "\r\n" + rest + "\r\n"};
    };
    const std::string hundred = std::string(100, 'h');
    const struct { RawReply reply; const char* scheme; std::string file; int code; } cases[] = {
        {{RawReply::Close, ok + std::string(1000, 'b')}, "http", file, 0},
        {{RawReply::Close, ok}, "http", file, 0},  // an empty 200 is an empty file
        {{RawReply::Close, ok + std::string(1001, 'b')}, "http", file, eHTTPConnection::errorTooLarge},
        {{RawReply::Close, "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nb"}, "http", file, eHTTPConnection::errorTooLarge},
        {{RawReply::Close, "<html>no status line</html>\n"}, "http", file, eHTTPConnection::errorNotHttp},
        {{RawReply::Close, "HTTP/1.1 400 Bad Request\r\n\r\n"}, "https", file, eHTTPConnection::errorTls},
        {{RawReply::Silent, ""}, "https", file, eHTTPConnection::errorTls},
        {{RawReply::Close, ok + "b"}, "http", "/var/tmp/" + std::string(300, 'n'), eHTTPConnection::errorNameTooLong},
        {{RawReply::Close, ok + "b"}, "http", "/var/nowhere/r.tmp", eHTTPConnection::errorSink},
        // Statuses other than 200 fail with the status, whatever the body.
        {{RawReply::Close, "HTTP/1.1 404 Not Found\r\n\r\n<html>Not here</html>"}, "http", file, 404},
        {status("304 Not Modified"), "http", file, 304},
        {status("204 No Content"), "http", file, 204},
        {status("206 Partial Content", "Content-Length: 3\r\n") , "http", file, 206},
        {status("302 Found", "Content-Length: 4\r\n"), "http", file, 302},  // no Location to follow
        // An interim status and no final one: the reply is cut short.
        {status("100 Continue"), "http", file, eHTTPConnection::errorTransfer},
        {status("101 Switching Protocols", "Upgrade: x\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {{RawReply::Close, "HTTP/1.1 399 Odd\r\n\r\nbody"}, "http", file, 399},
        {{RawReply::Close, "HTTP/1.1 201 Created\r\nContent-Length: 4\r\n\r\nbody"}, "http", file, 201},
        {status("302 Found", "Location: file:///etc/passwd\r\n"), "http", file, eHTTPConnection::errorRedirectRefused},
        {status("302 Found", "Location: /\r\n"), "http", file, eHTTPConnection::errorTooManyRedirects},
        // Broken replies, not a failure of the client.
        {{RawReply::Close, "HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n" + hundred}, "http", file,
         eHTTPConnection::errorTransfer},  // cut short
        {status("200 OK", "X-Long: " + std::string(1 << 20, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "X-Long: " + std::string(150000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("302 Found", "Location: /" + std::string(200000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("301 Moved", "Location: /" + std::string(120000, 'l') + "\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "Content-Length: -5\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", "Content-Length: -99999999999\r\n"), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", std::string("X-Nul: a\0b\r\n", 12)), "http", file, eHTTPConnection::errorTransfer},
        {status("200 OK", std::string("Content-Type: text/\0plain\r\n", 27)), "http", file, eHTTPConnection::errorTransfer},
        // Silence, or 100 bytes and then silence: the stall time-out counts
        // from the last byte.
        {{RawReply::Silent, ""}, "http", file, eHTTPConnection::errorTimeout},
        {{RawReply::Silent, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + hundred}, "http", file, eHTTPConnection::errorTimeout},
        {{RawReply::Silent, "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n" + hundred.substr(0, 7)}, "http", file, eHTTPConnection::errorTimeout},
    };
    constexpr long stallSeconds = 2;
    emu::setHttpMaxReplyBytes(1000);
    emu::setHttpTimeouts(1000, stallSeconds);
    for (const auto& [reply, scheme, target, code] : cases) {
        SCOPED_TRACE(reply.bytes.substr(0, 30) + "... of " + std::to_string(reply.bytes.size()) + " bytes, " + scheme);
        BoxRoot box;
        box.write(file, old);
        RawServer server([&reply = reply](const std::string&) { return reply; });
        Outcome outcome;
        auto began = std::chrono::steady_clock::now();
        startDownload(std::string(scheme) + "://127.0.0.1:" + std::to_string(server.port()) + "/", target, outcome);
        EXPECT_EQ(mainloop().busyCount(), 1);
        EXPECT_TRUE(runUntilQuiet());
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(stallSeconds * 1000 + 1500));
        EXPECT_EQ(outcome.code, code);
        EXPECT_EQ(outcome.done, 1);
        EXPECT_EQ(outcome.busyInHandler, 0);
        if (code >= 0) {
            EXPECT_EQ(outcome.sinks, code == 0 ? 1 : 0);
        }
        EXPECT_EQ(filesIn(box.path("/var")), (std::vector<std::string>{"keys", "tmp", "tuxbox"}));
        EXPECT_EQ(filesIn(box.path("/var/tmp")).size(), 1u);
        EXPECT_EQ(box.read(file), code == 0 ? reply.bytes.substr(ok.size()) : old);
    }
    Outcome refused;  // nothing listens on port 1
    startDownload("http://127.0.0.1:1/feed", file, refused);
    EXPECT_TRUE(runUntilQuiet());
    EXPECT_EQ(refused.code, eHTTPConnection::errorConnect);
    emu::setHttpMaxReplyBytes(0);
    emu::setHttpTimeouts(0, 0);
}

TEST(HttpClientRawReplies, ATransferWhoseReceiverDiedEndsAtOnceWithItsSocketAndFile) {
    BoxRoot box;
    box.mkdirs("/media/hdd");
    RawServer server([](const std::string& request) {
        if (request.find("/first") != std::string::npos) return RawReply{RawReply::Close, "HTTP/1.0 200 OK\r\n\r\nfirst"};
        return RawReply{RawReply::Trickle, "HTTP/1.1 200 OK\r\nContent-Length: 99999\r\n\r\n"};
    });
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    Outcome first;  // sets the client up, so that its own descriptors are counted in `before`
    startDownload(url + "first", "/var/tmp/first", first);
    ASSERT_TRUE(runUntilQuiet());
    const size_t before = filesIn("/proc/self/fd").size();
    auto receiver = std::make_unique<Outcome>();
    startDownload(url, "/media/hdd/f.bin", *receiver);
    ASSERT_TRUE(runUntil([&] { return filesIn(box.path("/media/hdd")).size() > 0; }));  // the body flows
    receiver.reset();  // the window closes
    EXPECT_TRUE(runUntilQuiet());
    EXPECT_EQ(filesIn(box.path("/media/hdd")).size(), 0u);
    // The server's side of the first connection may close meanwhile.
    EXPECT_TRUE(runUntil([&] { return filesIn("/proc/self/fd").size() <= before; }));
}

}  // namespace
