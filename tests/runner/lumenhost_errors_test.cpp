// Bad input to lumenhost: one clear line on stderr, a non-zero exit, never
// a crash.
#include <gtest/gtest.h>
#include <string>
#include "tests/support/box_root.h"
#include "tests/support/lumenhost_run.h"

namespace {

void expectOneLine(const LumenhostResult& result, int exitCode, const std::string& words) {
    EXPECT_EQ(result.exitCode, exitCode) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line:\n" << result.err;
    EXPECT_EQ(result.err.compare(0, 11, "lumenhost: "), 0) << result.err;
    EXPECT_NE(result.err.find(words), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

LumenhostRun testPlugin(const std::string& keys) {
    LumenhostRun run;
    run.plugin = TEST_PLUGIN;
    run.keys = keys;
    return run;
}

}  // namespace

TEST(LumenhostErrors, UnknownKeyName) {
    expectOneLine(runLumenhost(testPlugin("1 enter")), 2, "unknown key \"enter\"");
}

TEST(LumenhostErrors, MissingRootDirectory) {
    LumenhostRun run = testPlugin("");
    run.root = "/tmp/lumen-no-such-root-dir";
    expectOneLine(runLumenhost(run), 2, "/tmp/lumen-no-such-root-dir does not exist");
}

TEST(LumenhostErrors, PluginThatCannotBeLoaded) {
    BoxRoot box;
    box.write("/var/tmp/not-a-plugin.so", "plain text\n");
    LumenhostRun run = testPlugin("");
    run.plugin = box.path("/var/tmp/not-a-plugin.so");
    expectOneLine(runLumenhost(run), 3, "cannot load the plug-in");
    run.plugin = box.dir() + "/missing.so";
    expectOneLine(runLumenhost(run), 3, "cannot load the plug-in");
}

TEST(LumenhostErrors, PluginWithoutEntryFunction) {
    LumenhostRun run = testPlugin("");
    run.plugin = NO_ENTRY_PLUGIN;
    expectOneLine(runLumenhost(run), 3, "has no plugin_exec");
}

TEST(LumenhostErrors, MissingFont) {
    LumenhostRun run = testPlugin("");
    run.env = {"LUMEN_FONT_DIR=/tmp/lumen-no-fonts-here"};
    expectOneLine(runLumenhost(run), 3, "font");
}

TEST(LumenhostErrors, ShotWithoutShotsDirectory) {
    expectOneLine(runLumenhost(testPlugin("shot")), 2, "--shots");
}

TEST(LumenhostErrors, UnknownOptionAndBadConnectTo) {
    LumenhostRun run = testPlugin("");
    run.extra = {"--fullscreen"};
    expectOneLine(runLumenhost(run), 2, "unknown option");
    run.extra.clear();
    run.connectTo = "news.example:80";
    expectOneLine(runLumenhost(run), 2, "--connect-to");
}

TEST(LumenhostHelp, DescribesOptionsAndExitsZero) {
    LumenhostRun run;
    run.dump = "";
    run.extra = {"--help"};
    LumenhostResult result = runLumenhost(run);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--keys-file"), std::string::npos);
    EXPECT_NE(result.out.find("F1 F2 F3 F4 = red green yellow blue"), std::string::npos);
}
