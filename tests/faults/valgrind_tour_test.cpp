// A tour of every menu entry under valgrind's memcheck: news list and an
// article, a shout posted, the statistics, a download, a settings save and
// the about window, left with exit keys. No invalid read or write and no
// definitely lost block anywhere on the way.
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

std::string innermostTitle(const std::string& dump) {
    auto block = dumpmatch::innermost(dump);
    return block.empty() ? "" : block.front()["title"];
}

}  // namespace

TEST(LeakFreeTour, EveryMenuEntryRunsCleanUnderMemcheck) {
    FaultScene scene;
    DemoServer server;
    LumenhostRun run;
    run.root = scene.root.dir();
    run.keys = kTour;
    run.connectTo = server.connectTo();
    run.wrapper = {LUMEN_VALGRIND, "--error-exitcode=1", "--leak-check=full", "--errors-for-leak-kinds=definite"};
    run.extra = {"--wait-timeout", "150"};
    run.timeoutSeconds = 600;
    LumenhostResult result = runLumenhost(run);

    // -1 from the main menu's exit; valgrind's errors would make it 1.
    EXPECT_EQ(result.exitCode, 255) << result.err;
    EXPECT_NE(result.err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("definitely lost: 0 bytes"), std::string::npos) << result.err;

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
