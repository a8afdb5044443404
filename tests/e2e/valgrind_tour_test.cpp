// A tour of every menu entry under valgrind's memcheck, then windows closed
// while their replies never come: no invalid read or write and no definitely
// lost block anywhere on the way.
#include <gtest/gtest.h>
#include <string>
#include "tests/e2e/scene.h"
#include "tests/support/reviewed.h"

namespace {

struct Case {
    const char* name;
    const char* keys;
    bool stallReplies;
};

const Case kCases[] = {
    {"tour", "2 wait ok wait pagedown exit exit "      // news: list, article, a page down
             "5 wait ok text:hello ok right ok wait exit "  // shoutbox: post a shout
             "4 wait exit "                                 // statistics
             "1 ok wait ok wait ok wait ok exit exit "      // download area: a download
             "6 ok down ok down down down ok wait ok "      // settings: French saved
             "7 wait dump exit exit", false},               // about, now in French; leave
    // Statistics, shoutbox and a category closed before their replies; then
    // the plug-in is left while a feed downloads.
    {"leave_early", "4 exit wait 5 exit wait 1 ok exit wait dump 2 exit", true},
};

class UnderMemcheck : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(UnderMemcheck, RunsCleanAndShowsTheReviewedScreens) {
    const Case& c = GetParam();
    e2e::Scene scene;
    for (const char* op : {"outmestats2", "outme", "outcat&cat=Cam", "outmerss"})
        if (c.stallReplies) scene.server.stall(std::string("/lumennews/index.php?op=") + op);
    LumenhostRun run = scene.options(c.keys, c.stallReplies ? std::vector<std::string>{"--http-stall-timeout", "2"}
                                                            : std::vector<std::string>{});
    run.wrapper = {LUMEN_VALGRIND, "--error-exitcode=1", "--leak-check=full", "--errors-for-leak-kinds=definite"};
    run.extra.insert(run.extra.end(), {"--wait-timeout", "150"});
    run.timeoutSeconds = 600;
    LumenhostResult result = runLumenhost(run);
    EXPECT_NE(result.err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("definitely lost: 0 bytes"), std::string::npos) << result.err;
    expectReviewed(scene.report(result), std::string("valgrind/") + c.name);
}

INSTANTIATE_TEST_SUITE_P(Memcheck, UnderMemcheck, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
