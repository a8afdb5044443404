// Reading news through lumenhost: the plug-in as the box loads it, the
// scripted remote, and the demo community server on loopback.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "settings/lang.h"
#include "tests/plugin/logos.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"
#include "tests/support/lumenhost_run.h"

namespace {

std::string title(const dumpmatch::Block& window) { return window.empty() ? "" : window.front()["title"]; }

std::vector<std::string> entries(const dumpmatch::Block& window) {
    std::vector<std::string> texts;
    for (const auto& line : dumpmatch::all(window, "entry")) texts.push_back(line.text());
    return texts;
}

// The text of the article label (it starts with "TITLE: ").
std::string articleText(const dumpmatch::Block& window) { return dumpmatch::find(window, "eLabel", "TITLE: ").text(); }

}  // namespace

TEST(NewsThroughLumenhost, ListArticlesAndBackToTheMenuThenTheItalianList) {
    BoxRoot root;
    installLogos(root);
    DemoServer server;
    LumenhostRun run;
    run.root = root.dir();
    run.connectTo = server.connectTo();
    run.timeoutSeconds = 90;
    // Paging inside an article is checked in process (rss_detail_test).
    run.keys =
        "2 wait dump "                        // 0: the English list
        "ok wait dump exit dump "             // 1-2: the first article, the list
        "down down ok wait dump exit dump "   // 3-4: the third article, the list
        "exit wait dump "                     // 5: the menu
        "3 wait dump";                        // 6: the Italian list
    LumenhostResult result = runLumenhost(run);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 7u) << result.out;
    std::vector<dumpmatch::Block> top;
    for (const auto& dump : dumps) top.push_back(dumpmatch::innermost(dump));

    EXPECT_EQ(title(top[0]), LangT(24, 1));
    EXPECT_EQ(entries(top[0]), (std::vector<std::string>{
                                   "Firmware 3.2 for the Orbivox receivers brings faster zapping",
                                   "Kr\xC3\xA4henfeld relay station switches to HD",
                                   "Weekend schedule: two new radio channels on the community transponder",
                                   "Shoutbox \"meet-up\" this Saturday at the Li\xC3\xA8ge club",
                                   "Tips & tricks: aligning a dish with a budget signal meter",
                                   "Download area: new skins and the Weather Globe plug-in",
                               }));

    EXPECT_EQ(title(top[1]), LangT(28, 1));
    EXPECT_EQ(articleText(top[1]).rfind("TITLE: Firmware 3.2 for the Orbivox receivers brings faster zapping\n", 0), 0u)
        << dumps[1];
    EXPECT_EQ(title(top[2]), LangT(24, 1));
    EXPECT_TRUE(dumpmatch::find(top[2], "entry").has("current"));

    // The third article: the header, the separator, then the text.
    std::string header = "TITLE: Weekend schedule: two new radio channels on the community transponder\n"
                         "\nBY: orbivox_editor\n"
                         "\nSaturday, 01 March 2025 @ 12:00 GMT " + LangT(3, 1) + "211\n" +
                         std::string(89, '-') + "\nFrom this Saturday";
    EXPECT_EQ(articleText(top[3]).substr(0, header.size()), header) << dumps[3];
    EXPECT_EQ(title(top[4]), LangT(24, 1));

    EXPECT_EQ(title(top[5]), LangT(15, 1));
    EXPECT_EQ(dumpmatch::windowTitles(dumps[5]).size(), 1u) << dumps[5];

    EXPECT_EQ(title(top[6]), LangT(25, 1));
    EXPECT_EQ(entries(top[6]), (std::vector<std::string>{
                                   "Il firmware 3.2 rende pi\xC3\xB9 veloce il cambio canale",
                                   "Il ripetitore di Kr\xC3\xA4henfeld passa all'alta definizione",
                                   "Incontro della shoutbox sabato: caff\xC3\xA8, lotteria e la \"clinica della ricezione\"",
                                   "Trucchi & consigli: puntare la parabola con un misuratore economico",
                               }));
}
