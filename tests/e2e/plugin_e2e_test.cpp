// The plug-in end to end: lumenhost loads lumennews.so under a box root and
// talks to the demo server on loopback.
#include <gtest/gtest.h>
#include <fstream>
#include <string>
#include <vector>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/plugin/logos.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"
#include "tests/support/lumenhost_run.h"

namespace {

LumenhostResult runPlugin(const BoxRoot& root, const std::string& keys, const std::string& connectTo = "") {
    LumenhostRun run;
    run.root = root.dir();
    run.keys = keys;
    run.connectTo = connectTo;
    run.timeoutSeconds = 90;
    return runLumenhost(run);
}

std::string innermostTitle(const std::string& dump) {
    auto block = dumpmatch::innermost(dump);
    return block.empty() ? "" : block.front()["title"];
}

bool innermostIsMessageBox(const std::string& dump) {
    auto block = dumpmatch::innermost(dump);
    return !block.empty() && block.front().raw.rfind("window eMessageBox ", 0) == 0;
}

size_t lineCount(const std::string& file) {
    std::ifstream in(file);
    size_t lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

class PluginEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { installLogos(root); }
    BoxRoot root;
};

}  // namespace

TEST_F(PluginEndToEnd, NumberKeysOpenTheirWindowsAndTheMenuComesBackOnEntryOne) {
    DemoServer server;
    const std::vector<std::pair<int, int>> entries = {{1, 39}, {2, 24}, {3, 25}, {4, 38},
                                                       {5, 26}, {6, 27}, {7, 31}};
    std::string keys;
    for (const auto& [entry, title] : entries) keys += std::to_string(entry) + " wait dump exit wait dump ";
    LumenhostResult result = runPlugin(root, keys, server.connectTo());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 2 * entries.size() + 1) << result.out;
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& [entry, title] = entries[i];
        const std::string& opened = dumps[2 * i];
        const std::string& back = dumps[2 * i + 1];
        EXPECT_EQ(innermostTitle(opened), LangT(title, 1)) << "entry " << entry << "\n" << opened;
        EXPECT_EQ(dumpmatch::windowTitles(opened).size(), 1u) << "the menu stays hidden\n" << opened;
        EXPECT_EQ(innermostTitle(back), LangT(15, 1)) << "entry " << entry << "\n" << back;
        EXPECT_EQ(dumpmatch::focused(dumpmatch::innermost(back)).text(), LangT(16, 1)) << "entry " << entry;
    }
}

TEST_F(PluginEndToEnd, StoredLanguageGivesTheMenuTextsOnTheFirstScreen) {
    for (int lang : {2, 3}) {
        root.write(paths::settingsFile, "lang=" + std::to_string(lang) + "\n");
        LumenhostResult result = runPlugin(root, "dump");
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::string first = dumpmatch::splitDumps(result.out).at(0);
        auto menu = dumpmatch::innermost(first);
        ASSERT_FALSE(menu.empty()) << first;
        EXPECT_EQ(menu.front()["title"], LangT(15, lang));
        auto buttons = dumpmatch::all(menu, "eButton");
        ASSERT_EQ(buttons.size(), 7u);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(buttons[i].text(), LangT(16 + i, lang));
            EXPECT_EQ(buttons[i]["shortcut"], std::to_string(i + 1));
            EXPECT_EQ(buttons[i]["rect"], "35," + std::to_string(140 + 32 * i) + ",450x30");
        }
        EXPECT_TRUE(buttons[0].has("focus"));
    }
}

TEST_F(PluginEndToEnd, MissingLogoShowsTheBoxBeforeTheMenu) {
    std::remove(root.path(paths::logo).c_str());
    LumenhostResult result = runPlugin(root, "dump ok dump");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 2u);
    EXPECT_EQ(dumpmatch::windowTitles(dumps[0]), std::vector<std::string>{"Error"});
    EXPECT_EQ(dumpmatch::innermost(dumps[0]).front()["message"], "Error loading logo");
    EXPECT_EQ(innermostTitle(dumps[1]), LangT(15, 1));
}

TEST_F(PluginEndToEnd, NewsEntryTwiceQuicklyRequestsOnceAndOpensTheListOnce) {
    std::string log = root.dir() + "/requests.log";
    DemoServer server({"--log", log, "--delay-ms", "300"});
    LumenhostResult result = runPlugin(root, "2 2 wait dump exit wait dump", server.connectTo());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 2u);
    EXPECT_EQ(innermostTitle(dumps[0]), LangT(24, 1));
    EXPECT_EQ(innermostTitle(dumps[1]), LangT(15, 1)) << "a second list:\n" << dumps[1];
    server.stop();
    EXPECT_EQ(lineCount(log), 1u);
}

TEST_F(PluginEndToEnd, FailedFeedRequestShowsTheFetcherBoxAndEntryTwoTriesAgain) {
    // Nothing listens on port 1: every request fails at once.
    LumenhostResult result =
        runPlugin(root, "2 wait dump ok wait dump 2 wait dump ok", "news.corvane.example:80:127.0.0.1:1");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 3u);
    EXPECT_TRUE(innermostIsMessageBox(dumps[0])) << dumps[0];
    EXPECT_EQ(innermostTitle(dumps[1]), LangT(15, 1));
    EXPECT_FALSE(dumpmatch::find(dumpmatch::innermost(dumps[1]), "eLabel", "Wait please")) << dumps[1];
    EXPECT_TRUE(innermostIsMessageBox(dumps[2])) << "entry 2 did nothing:\n" << dumps[2];
}

TEST_F(PluginEndToEnd, SavingFrenchThenOpeningAWindowShowsFrenchTexts) {
    // Settings: OK opens the language list, down picks French; then down to
    // the Save button past the two fields.
    LumenhostResult result = runPlugin(root, "6 ok down ok down down down ok dump ok wait 7 dump");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 2u);
    auto box = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.front()["message"], LangT(55, 1)) << dumps[0];
    EXPECT_EQ(box.front()["title"], "Warning");
    EXPECT_EQ(root.read(paths::settingsFile), "lang=2\ndown=/var/tmp/\nnick=Guest\n");
    EXPECT_EQ(innermostTitle(dumps[1]), LangT(31, 2));
    EXPECT_TRUE(dumpmatch::find(dumpmatch::innermost(dumps[1]), "eLabel", LangT(33, 2)));
}
