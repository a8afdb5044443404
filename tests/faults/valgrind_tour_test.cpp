// A tour of every menu entry under valgrind's memcheck: news list and an
// article, a shout posted, the statistics, a download, a settings save and
// the about window, left with exit keys. No invalid read or write and no
// definitely lost block anywhere on the way. Then the same for windows
// closed while their transfers still run.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/faults/fault_cases.h"
#include "tests/faults/fault_scene.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"
#include "tests/support/lumenhost_run.h"

using namespace faults;

namespace {

const char* const kTour =
    "2 wait dump ok wait dump pagedown exit exit "          // news: list, article, a page down
    "5 wait ok text:hello ok right ok wait dump exit "      // shoutbox: post a shout
    "4 wait dump exit "                                     // statistics
    "1 ok wait ok wait ok wait dump ok exit exit "          // download area: a download
    "6 ok down ok down down down ok wait dump ok "          // settings: French saved
    "7 wait dump exit "                                     // about, now in French
    "exit";                                                 // leaves the plug-in

// Opens windows and closes them before their replies come: statistics,
// shoutbox, a category; then leaves the plug-in while a feed downloads.
const char* const kLeaveEarly = "4 exit wait 5 exit wait 1 ok exit wait dump 2 exit";

LumenhostResult underMemcheck(const FaultScene& scene, const DemoServer& server, const std::string& keys,
                              bool shortStall = false) {
    LumenhostRun run;
    run.root = scene.root.dir();
    run.keys = keys;
    run.connectTo = server.connectTo();
    run.wrapper = {LUMEN_VALGRIND, "--error-exitcode=1", "--leak-check=full", "--errors-for-leak-kinds=definite"};
    run.extra = {"--wait-timeout", "150"};
    if (shortStall) run.extra.insert(run.extra.end(), {"--http-stall-timeout", std::to_string(kStallSeconds)});
    run.timeoutSeconds = 600;
    return runLumenhost(run);
}

void expectClean(const LumenhostResult& result) {
    // -1 from the main menu's exit; valgrind's errors would make it 1.
    EXPECT_EQ(result.exitCode, 255) << result.err;
    EXPECT_NE(result.err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("definitely lost: 0 bytes"), std::string::npos) << result.err;
}

std::string innermostTitle(const std::string& dump) {
    auto block = dumpmatch::innermost(dump);
    return block.empty() ? "" : block.front()["title"];
}

}  // namespace

TEST(LeakFreeTour, EveryMenuEntryRunsCleanUnderMemcheck) {
    FaultScene scene;
    DemoServer server;
    LumenhostResult result = underMemcheck(scene, server, kTour);
    expectClean(result);

    // The tour went where it meant to go.
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 7u) << result.out;
    EXPECT_EQ(innermostTitle(dumps[0]), LangT(24, 1));
    EXPECT_EQ(innermostTitle(dumps[1]), LangT(28, 1));
    EXPECT_EQ(innermostTitle(dumps[2]), LangT(26, 1));
    EXPECT_TRUE(dumpmatch::find(dumpmatch::innermost(dumps[2]), "eLabel", "hello")) << dumps[2];
    EXPECT_EQ(innermostTitle(dumps[3]), LangT(38, 1));
    EXPECT_EQ(innermostTitle(dumps[4]), LangT(47, 1));
    EXPECT_EQ(dumpmatch::innermost(dumps[5]).front()["message"], LangT(55, 1));
    EXPECT_EQ(innermostTitle(dumps[6]), LangT(31, 2));
    EXPECT_NE(scene.root.read(scene.downloadPath()), scene.oldDownload);
    EXPECT_EQ(scene.root.read(paths::settingsFile).substr(0, 7), "lang=2\n");
}

// Replies that come late (a delay) or never (a stall, given up after the
// stall time-out) reach no window that is gone, and show nothing.
class LeaveEarly : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(LeaveEarly, ClosedWindowsIgnoreTheirTransfersUnderMemcheck) {
    FaultScene scene;
    std::vector<std::string> options;
    for (const char* op : {"outmestats2", "outme", "outcat", "outmerss"}) options.insert(options.end(), {"--fault-op", op});
    options.insert(options.end(), GetParam().begin(), GetParam().end());
    DemoServer server(options);
    LumenhostResult result = underMemcheck(scene, server, kLeaveEarly, GetParam()[0] == "--stall");
    expectClean(result);
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 1u) << result.out;
    EXPECT_EQ(dumpmatch::windowTitles(dumps[0]), std::vector<std::string>{LangT(15, 1)}) << dumps[0];
}

INSTANTIATE_TEST_SUITE_P(LateOrNever, LeaveEarly,
                         ::testing::Values(std::vector<std::string>{"--delay-ms", "1500"},
                                           std::vector<std::string>{"--stall"}),
                         [](const auto& info) { return info.param[0] == "--stall" ? "Stall" : "Delay"; });
