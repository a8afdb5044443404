// The plug-in's Fetcher on the emulated host, against a loopback server;
// its message boxes are answered (and recorded) as a user would.
#include "net/fetcher.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "emu/http_settings.h"
#include "tests/net/net_test_helpers.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

namespace {

const char* const target = "/var/tmp/rss.tmp";

// Stands in for a requesting window: a fetcher and its two handlers.
struct Requester : SigC::Object {
    Fetcher fetcher;
    std::vector<int>& done;
    std::vector<int>& failed;
    Requester(std::vector<int>& done, std::vector<int>& failed) : done(done), failed(failed) {
        fetcher.downloadDone.connect(SigC::slot(*this, &Requester::downloadDone));
        fetcher.downloadFailed.connect(SigC::slot(*this, &Requester::downloadFailed));
    }
    void downloadDone(int code) { done.push_back(code); }
    void downloadFailed(int code) { failed.push_back(code); }
};

class FetcherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(expectRedirectedDownloads(root)); }
    void TearDown() override { emu::setHttpTimeouts(0, 0); }

    void fetchAndWait(const std::string& url, const std::string& file = target) {
        requester.fetcher.fetch(url, file);
        EXPECT_TRUE(runUntilQuiet()) << url;
    }
    void expectTargetUntouched() {
        EXPECT_EQ(root.read(target), "old content");
        EXPECT_EQ(filesIn(root.path("/var/tmp")), std::vector<std::string>{"rss.tmp"});
    }

    BoxRoot root;
    LoopbackServer server;
    MessageBoxAnswerer boxes;
    std::vector<int> done, failed;
    Requester requester{done, failed};
};

TEST_F(FetcherTest, CompletedFetchSignalsZeroAndTheFileHoldsTheBody) {
    server.serve("/lumennews/index.php", "<rss>news</rss>");
    fetchAndWait(server.url("/lumennews/index.php?op=outmerss"));
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_TRUE(failed.empty());
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(root.read(target), "<rss>news</rss>");
}

TEST_F(FetcherTest, SecondFetchAfterTheFirstCompletesAndReplacesTheFile) {
    server.serve("/one", "first, and longer than the second");
    server.serve("/two", "second");
    fetchAndWait(server.url("/one"));
    EXPECT_EQ(root.read(target), "first, and longer than the second");
    fetchAndWait(server.url("/two"));
    EXPECT_EQ(done, (std::vector<int>{0, 0}));
    EXPECT_EQ(root.read(target), "second");
}

TEST_F(FetcherTest, EveryRequestCarriesTheCorvanenewsUserAgent) {
    server.serve("/feed", "x");
    server.redirect("/moved", "/feed");
    fetchAndWait(server.url("/feed"));
    fetchAndWait(server.url("/moved"));
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& request : requests) EXPECT_EQ(request.header("User-Agent"), "CORVANENEWS") << request.path;
}

TEST_F(FetcherTest, UnrequestableUrlShowsTheDetailsBoxBeforeFetchReturns) {
    root.write(target, "old content");
    for (std::string url : {"not a url", "file:///etc/passwd"}) {
        boxes.clear();
        requester.fetcher.fetch(url, target);
        ASSERT_EQ(boxes.boxes().size(), 1u) << url;
        EXPECT_EQ(boxes.boxes()[0].text, "Error downloading " + url + "(-1)");
        EXPECT_EQ(boxes.boxes()[0].caption, "Details");
        EXPECT_EQ(boxes.boxes()[0].flags, 1);
    }
    EXPECT_EQ(mainloop().busyCount(), 0);
    EXPECT_TRUE(done.empty());
    EXPECT_EQ(failed, (std::vector<int>{-1, -1}));
    expectTargetUntouched();
}

TEST_F(FetcherTest, FailedTransferShowsTheUserAbortBoxAndNoCompletion) {
    emu::setHttpTimeouts(2000, 1);
    server.serve("/gone", "not found page", 404);
    server.dropAfter("/half", std::string(3000, 'h'), 1000);
    server.stall("/stall");
    server.redirect("/evil", "file:///etc/passwd");
    for (int hop = 1; hop <= 6; ++hop) server.redirect("/hop" + std::to_string(hop), "/hop" + std::to_string(hop - 1));
    server.serve("/hop0", "too far");
    const std::vector<std::pair<std::string, int>> cases = {
        {"http://127.0.0.1:" + std::to_string(closedPort()) + "/feed", eHTTPConnection::errorConnect},
        {server.url("/gone"), 404},
        {server.url("/half"), eHTTPConnection::errorTransfer},
        {server.url("/stall"), eHTTPConnection::errorTimeout},
        {server.url("/evil"), eHTTPConnection::errorRedirectRefused},
        {server.url("/hop6"), eHTTPConnection::errorTooManyRedirects},
    };
    for (const auto& [url, code] : cases) {
        SCOPED_TRACE(url);
        boxes.clear();
        failed.clear();
        root.write(target, "old content");
        fetchAndWait(url);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, "Error " + std::to_string(code));
        EXPECT_EQ(boxes.boxes()[0].caption, "User Abort");
        EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
        EXPECT_EQ(failed, std::vector<int>{code});
        EXPECT_TRUE(done.empty());
        expectTargetUntouched();
    }
}

TEST_F(FetcherTest, DestroyedOwnerHearsNothingFromItsTransfer) {
    server.serve("/feed", "late body");
    root.write(target, "old content");
    std::vector<int> lateDone, lateFailed;
    for (std::string url : {server.url("/feed"), "http://127.0.0.1:" + std::to_string(closedPort()) + "/"}) {
        auto owner = std::make_unique<Requester>(lateDone, lateFailed);
        owner->fetcher.fetch(url, target);
        owner.reset();
        EXPECT_TRUE(runUntilQuiet()) << url;
    }
    EXPECT_TRUE(lateDone.empty());
    EXPECT_TRUE(lateFailed.empty());
    EXPECT_TRUE(boxes.boxes().empty());
    expectTargetUntouched();  // nobody asked for a sink
}

TEST_F(FetcherTest, HandlerRunningANestedModalLoopCanFetchAgain) {
    server.serve("/feed", "list");
    server.serve("/article", "article text");
    std::vector<int> innerDone, innerFailed;
    Requester inner(innerDone, innerFailed);
    bool innerCompletedInsideHandler = false;
    // Like the menu opening the feed list, whose detail view fetches again.
    requester.fetcher.downloadDone.connect([&](int) {
        eMainloop::LoopFrame frame;
        auto leave = inner.fetcher.downloadDone.connect([&frame](int) { eMainloop::exit(frame, 0); });
        int safety = mainloop().addTimer(10000, [&frame] { eMainloop::exit(frame, -1); });
        inner.fetcher.fetch(server.url("/article"), "/var/tmp/rss2.tmp");
        EXPECT_EQ(mainloop().run(frame), 0);
        mainloop().removeTimer(safety);
        leave.disconnect();
        innerCompletedInsideHandler = innerDone == std::vector<int>{0};
    });
    fetchAndWait(server.url("/feed"));
    EXPECT_TRUE(innerCompletedInsideHandler);
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_EQ(root.read("/var/tmp/rss.tmp"), "list");
    EXPECT_EQ(root.read("/var/tmp/rss2.tmp"), "article text");
}

}  // namespace
