// The fault switches, each against a server of its own, all bounded in time.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "tests/demo/client.h"
#include "tests/demo/raw_http.h"

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

const std::string shouts = std::string(script) + "?op=outme";
const std::string stats = std::string(script) + "?op=outmestats2";

TEST(Faults, StatusAppliesOnlyToTheChosenOperation) {
    DemoServer server({"--fault-op", "outme", "--status", "500"});
    auto bad = fetch(server, shouts);
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->status, 500);
    EXPECT_EQ(bad->body.find("end document head"), std::string::npos);
    EXPECT_NE(bad->body.find("500"), std::string::npos);
    auto good = fetch(server, stats);
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 200);
}

TEST(Faults, WithoutFaultOpEveryRequestIsHit) {
    DemoServer server({"--status", "503"});
    for (const std::string& target : {shouts, stats, std::string("/lumennews/files/cam_autostart.sh")}) {
        auto res = fetch(server, target);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 503) << target;
    }
}

TEST(Faults, FilesNamesTheDownloads) {
    DemoServer server({"--fault-op", "files", "--status", "404"});
    auto download = fetch(server, "/lumennews/files/cam_autostart.sh");
    ASSERT_TRUE(download);
    EXPECT_EQ(download->status, 404);
    auto detail = fetch(server, std::string(script) + "?op=outfile&idf=12");
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->status, 200);
}

TEST(Faults, AFailedPostIsNotStored) {
    DemoServer server({"--fault-op", "inme", "--status", "500"});
    auto post = fetch(server, std::string(script) + "?op=inme&n=Ghost&p=never_seen");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 500);
    auto list = fetch(server, shouts);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->body.find("never_seen"), std::string::npos);
}

TEST(Faults, DropHalfDeclaresTheWholeBodyAndClosesHalfway) {
    DemoServer server({"--fault-op", "outmerss", "--drop-half"});
    RawReply whole = rawGet(server.port(), std::string(script) + "?op=outmestats2", 2000, 5000);
    RawReply cut = rawGet(server.port(), std::string(script) + "?op=outmerss", 2000, 5000);
    ASSERT_EQ(cut.head.rfind("HTTP/1.1 200", 0), 0u) << cut.head;
    EXPECT_TRUE(cut.closed);
    ASSERT_GT(cut.contentLength, 1000);
    EXPECT_EQ(static_cast<long>(cut.body.size()), cut.contentLength / 2);
    EXPECT_EQ(cut.body.rfind("<?xml", 0), 0u);
    EXPECT_EQ(static_cast<long>(whole.body.size()), whole.contentLength);
}

TEST(Faults, EmptyAnswersOkWithoutABody) {
    DemoServer server({"--empty"});
    RawReply reply = rawGet(server.port(), shouts, 2000, 5000);
    EXPECT_EQ(reply.head.rfind("HTTP/1.1 200", 0), 0u) << reply.head;
    EXPECT_EQ(reply.contentLength, 0);
    EXPECT_TRUE(reply.body.empty());
}

TEST(Faults, RedirectPointsWhereItWasTold) {
    DemoServer server({"--fault-op", "outme", "--redirect", "file:///etc/passwd"});
    auto res = fetch(server, shouts);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 302);
    EXPECT_EQ(res->get_header_value("Location"), "file:///etc/passwd");
}

TEST(Faults, DelayHoldsOnlyTheMatchingRequests) {
    DemoServer server({"--fault-op", "outme", "--delay-ms", "700"});
    auto start = Clock::now();
    auto fast = fetch(server, stats);
    long fastMs = msSince(start);
    start = Clock::now();
    auto slow = fetch(server, shouts);
    long slowMs = msSince(start);
    ASSERT_TRUE(fast && slow);
    EXPECT_EQ(slow->status, 200);
    EXPECT_NE(slow->body.find("end document head"), std::string::npos);
    EXPECT_GE(slowMs, 700);
    EXPECT_LT(fastMs, 700);
}

TEST(Faults, JunkSendsTheAnnouncedMegabytesOfVariedBytes) {
    DemoServer server({"--junk-mb", "2"});
    RawReply reply = rawGet(server.port(), shouts, 3000, 20000);
    EXPECT_EQ(reply.contentLength, 2L * 1024 * 1024);
    ASSERT_EQ(reply.body.size(), 2u * 1024 * 1024);
    EXPECT_TRUE(reply.closed);
    std::set<unsigned char> seen(reply.body.begin(), reply.body.begin() + 4096);
    EXPECT_GT(seen.size(), 200u);
}

TEST(Faults, StallSendsHeadersThenNothingAndStillStopsPromptly) {
    DemoServer server({"--fault-op", "outme", "--stall"});
    RawReply reply = rawGet(server.port(), shouts, 1500, 4000);
    EXPECT_EQ(reply.head.rfind("HTTP/1.1 200", 0), 0u) << reply.head;
    EXPECT_FALSE(reply.closed);
    EXPECT_TRUE(reply.body.empty());
    EXPECT_EQ(reply.contentLength, -1);
    // Another request is served meanwhile.
    auto other = fetch(server, stats);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 200);
    auto start = Clock::now();
    EXPECT_EQ(server.stop(4000), 0);
    EXPECT_LT(msSince(start), 3000);
}

}  // namespace
