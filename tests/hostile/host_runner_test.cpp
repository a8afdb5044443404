// lumenhost with the plug-in against a hostile server: windows closed during
// trickled transfers, an overlong reply, temporary files of an earlier run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <ctime>
#include <filesystem>
#include "settings/paths.h"
#include "tests/hostile/raw_server.h"
#include "tests/support/box_root.h"
#include "tests/support/lumenhost_run.h"

namespace {

const std::string kStatistics = "op=outmestats2";

LumenhostRun runAgainst(const RawServer& server, const BoxRoot& box, const std::string& keys) {
    box.copyFixture(std::string(LUMEN_ASSETS_RELATIVE) + "/LumenNews.png", paths::logo);
    LumenhostRun run;
    run.root = box.dir();
    run.keys = keys;
    run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(server.port());
    run.timeoutSeconds = 90;
    return run;
}

TEST(HostileRunner, TwoHundredWindowsClosedDuringTrickledTransfersLeaveTheNextRequestWorking) {
    RawServer server([](const std::string& request) {
        if (request.find(kStatistics) == std::string::npos)  // the shout list
            return RawReply{RawReply::Trickle, "HTTP/1.1 200 OK\r\nContent-Length: 99999\r\n\r\n"};
        return RawReply{RawReply::Close, "HTTP/1.0 200 OK\r\n\r\n4711 members\n"};
    });
    BoxRoot box;
    std::string keys;
    for (int i = 0; i < 200; ++i) keys += "5 exit ";
    LumenhostRun run = runAgainst(server, box, keys + "4 wait dump");
    run.wrapper = {"/usr/bin/prlimit", "--nofile=64:64"};  // a box's order of magnitude, and lower
    run.extra = {"--wait-timeout", "20"};
    LumenhostResult result = runLumenhost(run);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("4711 members"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Error"), std::string::npos) << result.out;
    EXPECT_GT(server.connections(), 20);  // the transfers did reach the server
    for (const auto& entry : std::filesystem::directory_iterator(box.path("/var/tmp")))
        EXPECT_EQ(entry.path().filename().string().find(".part-"), std::string::npos) << entry.path();
}

TEST(HostileRunner, OverlongReplyFailsWithItsCodeAndStaleTemporaryFilesGo) {
    RawServer server([](const std::string&) {
        return RawReply{RawReply::Close, "HTTP/1.0 200 OK\r\n\r\n" + std::string(5000, '7') + "\n"};
    });
    BoxRoot box;
    const struct { const char* name; long age; bool stays; } parts[] = {
        {"/var/tmp/rss.tmp.part-1-1", 3600, false},     // an earlier run's
        {"/var/tmp/shout.tmp.part-2-2", -3600, true},   // written after the start
        {"/media/hdd/a.zip.part-3-3", 3600, true},      // not the reply directory
    };
    for (const auto& part : parts) {
        box.write(part.name, "partial");
        utimbuf times{time(nullptr) - part.age, time(nullptr) - part.age};
        ASSERT_EQ(utime(box.path(part.name).c_str(), &times), 0);
    }
    LumenhostRun run = runAgainst(server, box, "4 wait dump");
    run.extra = {"--http-max-reply", "4096"};
    LumenhostResult result = runLumenhost(run);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Error -9"), std::string::npos) << result.out;
    for (const auto& part : parts) EXPECT_EQ(box.exists(part.name), part.stays) << part.name;
    EXPECT_FALSE(box.exists("/var/tmp/shout.tmp"));
}

}  // namespace
