// The emulated host's HTTP client, used directly as the plug-in's fetcher
// uses it, against a loopback server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <chrono>
#include <memory>
#include "emu/http_settings.h"
#include "host/ehttp.h"
#include "tests/net/net_test_helpers.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"

namespace {

const char* const target = "/var/tmp/rss.tmp";

struct Outcome {
    int code = 1;  // 1: transferDone never came
    int done = 0;
    int sinks = 0;
    int busyInHandler = -1;
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
    connection->createDataSink.connect([&outcome, file](eHTTPConnection* c) -> eHTTPDataSource* {
        ++outcome.sinks;
        return new eHTTPDownload(c, file.c_str());
    });
    connection->transferDone.connect([&outcome](int code) {
        outcome.code = code;
        ++outcome.done;
        outcome.busyInHandler = mainloop().busyCount();
    });
    connection->local_header = std::move(headers);
    connection->start();
    return connection;
}

Outcome download(const std::string& url, const std::string& file = target) {
    Outcome outcome;
    startDownload(url, file, outcome);
    EXPECT_TRUE(runUntilQuiet()) << "transfer of " << url << " never ended";
    return outcome;
}

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(expectRedirectedDownloads(root)); }
    void TearDown() override {
        emu::setHttpTimeouts(0, 0);
        emu::setHttpConnectTo("");
    }
    // The target exists beforehand, so that a failure can be seen to spare it.
    void writeOldTarget() { root.write(target, "old content"); }
    void expectTargetUntouched() {
        EXPECT_EQ(root.read(target), "old content");
        EXPECT_EQ(filesIn(root.path("/var/tmp")), std::vector<std::string>{"rss.tmp"});
    }
    BoxRoot root;
    LoopbackServer server;
};

TEST_F(HttpClient, DownloadStoresBodyAndReportsSuccessOnce) {
    server.serve("/feed", "<rss>hello</rss>");
    writeOldTarget();
    Outcome outcome = download(server.url("/feed"));
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.sinks, 1);
    EXPECT_EQ(root.read(target), "<rss>hello</rss>");
    EXPECT_EQ(filesIn(root.path("/var/tmp")), std::vector<std::string>{"rss.tmp"});
}

// A wait for quiet must be able to end inside a completion handler that runs
// the next modal window, and never before the handler has been called.
TEST_F(HttpClient, TransferCountsAsBusyUntilItsDoneIsEmitted) {
    server.serve("/feed", "x");
    Outcome outcome;
    startDownload(server.url("/feed"), target, outcome);
    EXPECT_EQ(mainloop().busyCount(), 1);
    ASSERT_TRUE(runUntilQuiet());
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.busyInHandler, 0);
}

TEST_F(HttpClient, EmptyBodyEmptiesTheTarget) {
    server.serve("/empty", "");
    writeOldTarget();
    Outcome outcome = download(server.url("/empty"));
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(root.exists(target));
    EXPECT_EQ(root.read(target), "");
}

TEST_F(HttpClient, SendsTheHeaderTableButNoInjectedLines) {
    server.serve("/feed", "x");
    Outcome outcome;
    startDownload(server.url("/feed"), target, outcome,
                  {{"User-Agent", "CORVANENEWS"}, {"X-Evil", "a\r\nInjected: yes"}, {"X-Fine", "1"}});
    ASSERT_TRUE(runUntilQuiet());
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("User-Agent"), "CORVANENEWS");
    EXPECT_EQ(requests[0].header("X-Fine"), "1");
    EXPECT_FALSE(requests[0].hasHeader("Injected"));
    EXPECT_FALSE(requests[0].hasHeader("X-Evil"));
}

TEST_F(HttpClient, UnrequestableUrlsAreRefusedAtOnce) {
    for (const char* url : {"", "not a url", "http://", "http://:80/feed", "file:///etc/passwd",
                            "ftp://127.0.0.1/feed", "gopher://127.0.0.1/", "news.corvane.example/feed",
                            "http://exa mple.com/"}) {
        int error = 0;
        EXPECT_EQ(eHTTPConnection::doRequest(url, eApp, &error), nullptr) << url;
        EXPECT_EQ(error, eHTTPConnection::errorBadUrl) << url;
    }
    int error = 0;
    EXPECT_EQ(eHTTPConnection::doRequest(nullptr, eApp, &error), nullptr);
    EXPECT_EQ(error, eHTTPConnection::errorBadUrl);
    EXPECT_EQ(mainloop().busyCount(), 0);
}

TEST_F(HttpClient, HttpErrorStatusIsTheCodeAndSparesTheTarget) {
    server.serve("/gone", "<html>Not here</html>", 404);
    server.serve("/broken", "<html>Oops</html>", 503);
    writeOldTarget();
    Outcome notFound = download(server.url("/gone"));
    EXPECT_EQ(notFound.code, 404);
    EXPECT_EQ(notFound.sinks, 0);
    EXPECT_EQ(download(server.url("/broken")).code, 503);
    expectTargetUntouched();
}

TEST_F(HttpClient, UnreachablePortIsAConnectError) {
    writeOldTarget();
    Outcome outcome = download("http://127.0.0.1:" + std::to_string(closedPort()) + "/feed");
    EXPECT_EQ(outcome.code, eHTTPConnection::errorConnect);
    EXPECT_EQ(outcome.done, 1);
    expectTargetUntouched();
}

TEST_F(HttpClient, DroppedConnectionIsATransferErrorAndSparesTheTarget) {
    server.dropAfter("/half", std::string(4000, 'a'), 1500);
    writeOldTarget();
    Outcome outcome = download(server.url("/half"));
    EXPECT_EQ(outcome.code, eHTTPConnection::errorTransfer);
    expectTargetUntouched();
}

TEST_F(HttpClient, StalledServerTimesOutAndSparesTheTarget) {
    emu::setHttpTimeouts(2000, 1);
    server.stall("/stall");
    writeOldTarget();
    auto began = std::chrono::steady_clock::now();
    Outcome outcome = download(server.url("/stall"));
    EXPECT_EQ(outcome.code, eHTTPConnection::errorTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    expectTargetUntouched();
}

TEST_F(HttpClient, RedirectIsFollowed) {
    server.redirect("/old", "/new", 301);
    server.serve("/new", "moved body");
    Outcome outcome = download(server.url("/old"));
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.sinks, 1);
    EXPECT_EQ(root.read(target), "moved body");
}

TEST_F(HttpClient, RedirectToAFileUrlIsRefused) {
    server.redirect("/evil", "file:///etc/passwd");
    writeOldTarget();
    Outcome outcome = download(server.url("/evil"));
    EXPECT_EQ(outcome.code, eHTTPConnection::errorRedirectRefused);
    expectTargetUntouched();
}

TEST_F(HttpClient, FiveRedirectsAreFollowedButNotSix) {
    for (int hop = 1; hop <= 6; ++hop) server.redirect("/hop" + std::to_string(hop), "/hop" + std::to_string(hop - 1));
    server.serve("/hop0", "arrived");
    EXPECT_EQ(download(server.url("/hop5")).code, 0);
    EXPECT_EQ(root.read(target), "arrived");
    root.write(target, "old content");
    EXPECT_EQ(download(server.url("/hop6")).code, eHTTPConnection::errorTooManyRedirects);
    expectTargetUntouched();
}

TEST_F(HttpClient, ConnectToSendsAnotherHostToTheLoopbackServer) {
    server.serve("/lumennews/index.php", "mapped");
    emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(download("http://news.corvane.example/lumennews/index.php?op=outmerss").code, 0);
    EXPECT_EQ(root.read(target), "mapped");
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("Host"), "news.corvane.example");
    EXPECT_EQ(requests[0].path, "/lumennews/index.php?op=outmerss");
}

TEST_F(HttpClient, TwoTransfersAtOnceBothComplete) {
    server.serve("/a", "first");
    server.serve("/b", "second");
    Outcome a, b;
    startDownload(server.url("/a"), "/var/tmp/a.tmp", a);
    startDownload(server.url("/b"), "/var/tmp/b.tmp", b);
    EXPECT_EQ(mainloop().busyCount(), 2);
    ASSERT_TRUE(runUntilQuiet());
    EXPECT_EQ(a.code, 0);
    EXPECT_EQ(b.code, 0);
    EXPECT_EQ(root.read("/var/tmp/a.tmp"), "first");
    EXPECT_EQ(root.read("/var/tmp/b.tmp"), "second");
}

TEST_F(HttpClient, HandlerRunningANestedLoopCanCompleteAnotherTransfer) {
    server.serve("/a", "first");
    server.serve("/b", "second");
    Outcome inner;
    bool innerSeenInsideOuter = false;
    int error = 0;
    eHTTPConnection* outer = eHTTPConnection::doRequest(server.url("/a").c_str(), eApp, &error);
    ASSERT_NE(outer, nullptr);
    outer->transferDone.connect([&](int) {
        eMainloop::LoopFrame frame;
        eHTTPConnection* second = startDownload(server.url("/b"), "/var/tmp/b.tmp", inner);
        ASSERT_NE(second, nullptr);
        second->transferDone.connect([&frame](int code) { eMainloop::exit(frame, code); });
        int safety = mainloop().addTimer(10000, [&frame] { eMainloop::exit(frame, -100); });
        EXPECT_EQ(mainloop().run(frame), 0);
        mainloop().removeTimer(safety);
        innerSeenInsideOuter = inner.done == 1;
    });
    outer->start();
    ASSERT_TRUE(runUntilQuiet());
    EXPECT_TRUE(innerSeenInsideOuter);
    EXPECT_EQ(inner.code, 0);
    EXPECT_EQ(root.read("/var/tmp/b.tmp"), "second");
}

TEST_F(HttpClient, MissingTargetDirectoryIsASinkError) {
    server.serve("/feed", "body");
    Outcome outcome = download(server.url("/feed"), "/var/nowhere/rss.tmp");
    EXPECT_EQ(outcome.code, eHTTPConnection::errorSink);
    EXPECT_FALSE(root.exists("/var/nowhere"));
}

TEST_F(HttpClient, FullDiskIsASinkErrorAndSparesTheTarget) {
    server.serve("/big", std::string(64 * 1024, 'b'));
    writeOldTarget();
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
    expectTargetUntouched();
}

}  // namespace
