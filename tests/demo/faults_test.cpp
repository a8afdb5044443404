// The fault switches, each against a server of its own, all bounded in time.
// What the plug-in makes of a dropped, empty or junk reply, and that each
// switch produces it, is checked end to end by the fault matrix
// (tests/faults); here what that matrix cannot see: which requests a
// switch hits, delays, and stopping a server with a stalled reply open.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/demo/client.h"
#include "tests/demo/raw_http.h"

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

const std::string shouts = std::string(script) + "?op=outme";
const std::string stats = std::string(script) + "?op=outmestats2";

// A status or redirect hits the --fault-op operations (all without one) and
// spares the others.
TEST(Faults, StatusAndRedirectHitOnlyTheChosenOperations) {
    const std::string download = "/lumennews/files/cam_autostart.sh";
    const std::string post = std::string(script) + "?op=inme&n=Ghost&p=never_seen";
    struct Case { std::vector<std::string> switches; std::vector<std::string> hit; int status; std::string spared; };
    const Case cases[] = {
        {{"--fault-op", "outme", "--status", "500"}, {shouts}, 500, stats},
        {{"--status", "503"}, {shouts, stats, download}, 503, ""},
        {{"--fault-op", "files", "--status", "404"}, {download}, 404, std::string(script) + "?op=outfile&idf=12"},
        {{"--fault-op", "inme", "--status", "500"}, {post}, 500, shouts},
        {{"--fault-op", "outme", "--redirect", "file:///etc/passwd"}, {shouts}, 302, stats},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches[c.switches.size() - 1]);
        DemoServer server(c.switches);
        for (const std::string& target : c.hit) {
            auto res = fetch(server, target);
            ASSERT_TRUE(res) << target;
            EXPECT_EQ(res->status, c.status) << target;
            EXPECT_EQ(res->body.find("end document head"), std::string::npos);
            if (c.status == 302) {
                EXPECT_EQ(res->get_header_value("Location"), "file:///etc/passwd");
            }
        }
        if (c.spared.empty()) continue;
        auto spared = fetch(server, c.spared);
        ASSERT_TRUE(spared);
        EXPECT_EQ(spared->status, 200);
        EXPECT_EQ(spared->body.find("never_seen"), std::string::npos) << "a failed post is not stored";
    }
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
