// Bad input to lumenhost: one clear line on stderr, a non-zero exit, never
// a crash.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "tests/support/box_root.h"
#include "tests/support/lumenhost_run.h"

TEST(LumenhostErrors, BadInputGivesOneLineAndItsExitCode) {
    BoxRoot box;
    box.write("/var/tmp/not-a-plugin.so", "plain text\n");
    struct Case { const char* words; int exitCode; std::function<void(LumenhostRun&)> change; };
    const Case cases[] = {
        {"unknown key \"enter\"", 2, [](LumenhostRun& r) { r.keys = "1 enter"; }},
        {"/tmp/lumen-no-such-root-dir does not exist", 2, [](LumenhostRun& r) { r.root = "/tmp/lumen-no-such-root-dir"; }},
        {"--shots", 2, [](LumenhostRun& r) { r.keys = "shot"; }},
        {"unknown option", 2, [](LumenhostRun& r) { r.extra = {"--fullscreen"}; }},
        {"--connect-to", 2, [](LumenhostRun& r) { r.connectTo = "news.example:80"; }},
        {"cannot load the plug-in", 3, [&](LumenhostRun& r) { r.plugin = box.path("/var/tmp/not-a-plugin.so"); }},
        {"cannot load the plug-in", 3, [&](LumenhostRun& r) { r.plugin = box.dir() + "/missing.so"; }},
        {"has no plugin_exec", 3, [](LumenhostRun& r) { r.plugin = NO_ENTRY_PLUGIN; }},
        {"font", 3, [](LumenhostRun& r) { r.env = {"LUMEN_FONT_DIR=/tmp/lumen-no-fonts-here"}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        LumenhostRun run;  // the project's plug-in
        run.keys = "";
        c.change(run);
        const LumenhostResult result = runLumenhost(run);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "not one line:\n" << result.err;
        EXPECT_EQ(result.err.compare(0, 11, "lumenhost: "), 0) << result.err;
        EXPECT_NE(result.err.find(c.words), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
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
