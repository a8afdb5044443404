// lumenhost driving the test plug-in: scripted keys into nested modal
// loops, dumps, screenshots, waits on transfers and the box root.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "host/graphics.h"
#include "tests/support/box_root.h"
#include "tests/support/dump_match.h"
#include "tests/support/loopback_server.h"
#include "tests/support/lumenhost_run.h"

namespace {

const char kMain[] = "Runner test";

LumenhostRun testRun(const std::string& keys, const std::string& root = "") {
    LumenhostRun run;
    run.plugin = TEST_PLUGIN;
    run.root = root;
    run.keys = keys;
    return run;
}

LumenhostResult runTestPlugin(const std::string& keys, const std::string& root = "") {
    return runLumenhost(testRun(keys, root));
}

// Runs `keys` with the test plug-in's fetch target mapped to `server`.
LumenhostResult runFetching(const std::string& keys, const LoopbackServer& server, const BoxRoot& box,
                            std::vector<std::string> extra = {}) {
    LumenhostRun run = testRun(keys, box.dir());
    run.connectTo = "runner-test.example:8080:127.0.0.1:" + std::to_string(server.port());
    run.extra = std::move(extra);
    return runLumenhost(run);
}

std::string status(const std::string& dump) {
    return dumpmatch::find(dumpmatch::window(dump, kMain), "eLabel").text();
}

}  // namespace

TEST(LumenhostRun, EmptyScriptEndsWithAFinalDumpAndExitZeroKeysMoveTheFocus) {
    LumenhostResult result = runTestPlugin("");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 1u) << result.out;
    auto main = dumpmatch::window(dumps[0], kMain);
    ASSERT_FALSE(main.empty()) << dumps[0];
    EXPECT_EQ(main.front()["modal"], "innermost");
    EXPECT_EQ(dumpmatch::focused(main).text(), "Open nested");
    EXPECT_EQ(dumpmatch::all(main, "eButton").size(), 6u);

    result = runTestPlugin("down down dump up");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(dumpmatch::focused(dumpmatch::window(dumps[0], kMain)).text(), "Write file");
    EXPECT_EQ(dumpmatch::focused(dumpmatch::window(dumps[1], kMain)).text(), "Show message");
}

TEST(LumenhostRun, NestedWindowTakesKeysAndTextThenReturns) {
    LumenhostResult result = runTestPlugin("1 dump ok text:\"two words\" ok dump down ok dump");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 4u) << result.out;

    // The main window hid itself; the nested one runs innermost.
    EXPECT_EQ(dumpmatch::windowTitles(dumps[0]), std::vector<std::string>{"Nested window"});
    auto nested = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(dumpmatch::focused(nested).kind, "eTextInputField");

    auto typed = dumpmatch::find(dumpmatch::window(dumps[1], "Nested window"), "eTextInputField");
    EXPECT_EQ(typed.text(), "two words");
    EXPECT_EQ(typed["editing"], "0");

    EXPECT_EQ(dumpmatch::windowTitles(dumps[2]), std::vector<std::string>{kMain});
    EXPECT_EQ(status(dumps[2]), "Nested closed with 3");
}

TEST(LumenhostRun, MessageBoxIsDumpedAndAnsweredWithOk) {
    LumenhostResult result = runTestPlugin("2 dump ok dump");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_EQ(dumps.size(), 3u);
    auto box = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(box.empty()) << dumps[0];
    EXPECT_EQ(box.front().kind, "window");
    EXPECT_EQ(box.front()["title"], "Test message");
    EXPECT_EQ(box.front()["message"], "Hello from the test plug-in");
    EXPECT_EQ(box.front()["flags"], "0x21");
    EXPECT_EQ(dumpmatch::window(dumps[0], kMain).front()["modal"], "outer");
    EXPECT_EQ(status(dumps[1]), "Message closed with 1");
}

// The script ends inside two nested modal loops: the runner closes them in
// order, and plugin_exec returns normally (no leak report under ASan).
TEST(LumenhostRun, ScriptEndingInsideNestedModalsUnwindsCleanly) {
    const std::pair<const char*, const char*> cases[] = {{"1", "Nested window"}, {"2", "Test message"}};
    for (const auto& [keys, innermost] : cases) {
        LumenhostResult result = runTestPlugin(keys);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(dumpmatch::innermost(dumpmatch::lastDump(result.out)).front()["title"], innermost);
    }
}

TEST(LumenhostRun, PluginResultBecomesTheExitCode) {
    LumenhostResult result = runTestPlugin("5");
    EXPECT_EQ(result.exitCode, 7) << result.err;
    EXPECT_EQ(result.out, "");  // it returned before the script ended: no final dump

    result = runTestPlugin("5 dump ok");
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_NE(result.err.find("2 script steps left"), std::string::npos) << result.err;
}

TEST(LumenhostRun, PluginFilesLandBelowTheRoot) {
    BoxRoot box;
    LumenhostResult result = runTestPlugin("3 dump", box.dir());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(status(dumpmatch::lastDump(result.out)), "File written");
    EXPECT_EQ(box.read("/var/tmp/runner-test.tmp"), "written by the test plug-in\n");
}

TEST(LumenhostRun, WaitLetsTheTransferFinishThroughConnectTo) {
    BoxRoot box;
    LoopbackServer server;
    server.serve("/hello", "hello body\n");
    LumenhostResult result = runFetching("4 wait dump", server, box);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(status(dumpmatch::splitDumps(result.out).at(0)), "Fetched 0: hello body\n");
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_TRUE(box.exists("/var/tmp/runner-fetch.tmp"));
}

// The plug-in's windows answer a completion by running the next window or a
// message box inside the handler: the wait must end there, not time out.
TEST(LumenhostRun, WaitEndsWhileACompletionHandlerRunsAModalBox) {
    BoxRoot box;
    LoopbackServer server;
    server.serve("/hello", "hello body\n");
    LumenhostResult result = runFetching("6 wait dump", server, box, {"--wait-timeout", "10"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    auto report = dumpmatch::innermost(dumpmatch::splitDumps(result.out).at(0));
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front()["title"], "Fetch report");
    EXPECT_EQ(report.front()["message"], "Fetched 0: hello body\n");
}

TEST(LumenhostRun, WaitThatNeverQuietensTimesOut) {
    BoxRoot box;
    LoopbackServer server;
    server.stall("/hello");
    LumenhostResult result = runFetching("4 wait dump", server, box, {"--wait-timeout", "2"});
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_NE(result.err.find("wait timed out after 2 s"), std::string::npos) << result.err;
    // The screen at the time-out is kept for the reader.
    EXPECT_EQ(status(dumpmatch::lastDump(result.out)), "Fetching");
}

TEST(LumenhostRun, ShotsAreNumberedPngsOfTheScreen) {
    BoxRoot box;
    std::string shots = box.dir() + "/shots";
    LumenhostRun run = testRun("shot 2 shot");
    run.extra = {"--shots", shots};
    LumenhostResult result = runLumenhost(run);
    ASSERT_EQ(result.exitCode, 0) << result.err;

    gPixmapPtr first = loadPNG((shots + "/shot-001.png").c_str());
    gPixmapPtr second = loadPNG((shots + "/shot-002.png").c_str());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->width(), 720);
    EXPECT_EQ(first->height(), 576);
    EXPECT_FALSE(loadPNG((shots + "/shot-003.png").c_str()));
    // The message box of the second shot changes a good part of the screen.
    ASSERT_EQ(first->pixels.size(), second->pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < first->pixels.size(); i += 4)
        if (std::memcmp(&first->pixels[i], &second->pixels[i], 3) != 0) ++differing;
    EXPECT_GT(differing, 10000u);
}

TEST(LumenhostRun, KeysFileAndDumpFile) {
    BoxRoot box;
    box.write("/var/tmp/keys.txt", "# into the nested window\n1\nok\ntext:\"a b\"\nok\ndump\n");
    LumenhostRun run = testRun("");
    run.dump = box.path("/var/tmp/out.dump");
    run.extra = {"--keys-file", box.path("/var/tmp/keys.txt")};
    LumenhostResult result = runLumenhost(run);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    std::string dumps = box.read("/var/tmp/out.dump");
    auto all = dumpmatch::splitDumps(dumps);
    ASSERT_EQ(all.size(), 2u);  // the dump step and the final dump
    EXPECT_EQ(dumpmatch::find(dumpmatch::innermost(all[0]), "eTextInputField").text(), "a b");
}
