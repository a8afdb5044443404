// lumenhost with the plug-in against a trickling server, under a low
// descriptor limit, with an earlier run's temporary files in the box.
#include <gtest/gtest.h>
#include <utime.h>
#include <ctime>
#include "settings/paths.h"
#include "tests/support/raw_server.h"
#include "tests/support/box_root.h"
#include "tests/support/lumenhost_run.h"

namespace {

TEST(ClosedWindows, TwoHundredWindowsClosedDuringTrickledTransfersLeaveTheNextRequestWorking) {
    RawServer server([](const std::string& request) {
        if (request.find("op=outmestats2") == std::string::npos)  // the shout list
            return RawReply{RawReply::Trickle, "HTTP/1.1 200 OK\r\nContent-Length: 99999\r\n\r\n"};
        return RawReply{RawReply::Close, "HTTP/1.0 200 OK\r\n\r\n4711 members\n"};
    });
    BoxRoot box;
    box.installLogos();
    box.write(paths::settingsFile, "lang=1\ndown=/media/dl/\nnick=Guest\n");
    const struct { const char* name; long age; bool stays; } parts[] = {
        {"/var/tmp/rss.tmp.part-1-1", 3600, false},    // an earlier run's
        {"/var/tmp/shout.tmp.part-2-2", -3600, true},  // written after the start
        {"/media/hdd/a.zip.part-3-3", 3600, true},     // neither the reply nor the download directory
        {"/media/dl/b.zip.part-4-4", 3600, false},     // the download directory: a killed download's
        // (which names are the host's: community/download_target_test.cpp)
    };
    for (const auto& part : parts) {
        box.write(part.name, "partial");
        utimbuf times{time(nullptr) - part.age, time(nullptr) - part.age};
        ASSERT_EQ(utime(box.path(part.name).c_str(), &times), 0);
    }
    LumenhostRun run;
    run.root = box.dir();
    run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(server.port());
    for (int i = 0; i < 200; ++i) run.keys += "5 exit ";
    run.keys += "4 wait dump";
    run.wrapper = {"/usr/bin/prlimit", "--nofile=64:64"};  // a box's order of magnitude, and lower
    run.extra = {"--wait-timeout", "20"};
    LumenhostResult result = runLumenhost(run);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("4711 members"), std::string::npos) << result.out;
    EXPECT_GT(server.connections(), 100);  // the transfers did reach the server
    for (const auto& part : parts) EXPECT_EQ(box.exists(part.name), part.stays) << part.name;
}

}  // namespace
