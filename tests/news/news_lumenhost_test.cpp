// Reading news through lumenhost: the plug-in as the box loads it, the
// scripted remote, and the demo community server on loopback.
#include <gtest/gtest.h>
#include <cstdio>
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

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};
Rect rectOf(const dumpmatch::Line& line) {
    Rect r;
    std::sscanf(line["rect"].c_str(), "%d,%d,%dx%d", &r.x, &r.y, &r.w, &r.h);
    return r;
}

// The article's text label and the visible area that holds it.
struct ArticleView {
    dumpmatch::Line text, area, bar;
};
ArticleView articleView(const dumpmatch::Block& window) {
    ArticleView view;
    for (size_t i = 0; i < window.size(); ++i) {
        if (window[i].kind != "eLabel" || window[i].text().rfind("TITLE: ", 0) != 0) continue;
        view.text = window[i];
        for (size_t j = i; j-- > 0;)
            if (window[j].depth == window[i].depth - 1) {
                view.area = window[j];
                break;
            }
        break;
    }
    view.bar = dumpmatch::find(window, "eProgress");
    return view;
}

}  // namespace

TEST(NewsThroughLumenhost, ListArticlePagesAndBackToTheMenuThenTheItalianList) {
    BoxRoot root;
    installLogos(root);
    DemoServer server;
    LumenhostRun run;
    run.root = root.dir();
    run.connectTo = server.connectTo();
    run.timeoutSeconds = 90;
    run.keys =
        "2 wait dump "                                   // 0: the English list
        "ok wait dump pagedown dump pagedown dump pageup dump "  // 1-4: the first article
        "exit dump "                                     // 5: the list again
        "down down ok wait dump exit dump "              // 6-7: the third article, the list
        "exit wait dump "                                // 8: the menu
        "3 wait dump";                                   // 9: the Italian list
    LumenhostResult result = runLumenhost(run);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 10u) << result.out;
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

    // The first article: several pages, moved by whole visible areas.
    EXPECT_EQ(title(top[1]), LangT(28, 1));
    ArticleView first = articleView(top[1]);
    ASSERT_TRUE(first.text) << dumps[1];
    ASSERT_TRUE(first.area) << dumps[1];
    EXPECT_EQ(first.text.text().rfind("TITLE: Firmware 3.2 for the Orbivox receivers brings faster zapping\n", 0),
              0u);
    int page = rectOf(first.area).h;
    std::vector<int> offsets, starts;
    for (int i = 1; i <= 4; ++i) {
        ArticleView view = articleView(top[i]);
        offsets.push_back(rectOf(view.text).y);
        starts.push_back(std::stoi(view.bar["start"]));
    }
    EXPECT_EQ(offsets, (std::vector<int>{0, -page, -2 * page, -page}));
    // The bar is a page long; it starts where the shown page does.
    int size = std::stoi(first.bar["size"]);
    ASSERT_GT(size, 0);
    int pages = 100 / size;
    EXPECT_GE(pages, 3);
    EXPECT_EQ(starts, (std::vector<int>{0, 100 / pages, 200 / pages, 100 / pages}));

    EXPECT_EQ(title(top[5]), LangT(24, 1));
    EXPECT_EQ(dumpmatch::find(top[5], "entry").has("current"), true);

    // The third article: the header, the separator, then the text.
    std::string header = "TITLE: Weekend schedule: two new radio channels on the community transponder\n"
                         "\nBY: orbivox_editor\n"
                         "\nSaturday, 01 March 2025 @ 12:00 GMT " + LangT(3, 1) + "211\n" +
                         std::string(89, '-') + "\nFrom this Saturday";
    ArticleView third = articleView(top[6]);
    ASSERT_TRUE(third.text) << dumps[6];
    EXPECT_EQ(third.text.text().substr(0, header.size()), header);
    EXPECT_EQ(title(top[7]), LangT(24, 1));

    EXPECT_EQ(title(top[8]), LangT(15, 1));
    EXPECT_EQ(dumpmatch::windowTitles(dumps[8]).size(), 1u) << dumps[8];

    EXPECT_EQ(title(top[9]), LangT(25, 1));
    EXPECT_EQ(entries(top[9]), (std::vector<std::string>{
                                   "Il firmware 3.2 rende pi\xC3\xB9 veloce il cambio canale",
                                   "Il ripetitore di Kr\xC3\xA4henfeld passa all'alta definizione",
                                   "Incontro della shoutbox sabato: caff\xC3\xA8, lotteria e la \"clinica della ricezione\"",
                                   "Trucchi & consigli: puntare la parabola con un misuratore economico",
                               }));
}
