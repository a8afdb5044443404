// The community entries of the plug-in, end to end: lumenhost runs the real
// plug-in against the demo community server. Refusals, failures and the
// readers' layouts are checked in process (window and reply tests) and by
// the fault matrix; here the round trips through the real server.
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include <string>
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"
#include "tests/support/lumenhost_run.h"

namespace {
const char kShoutbox[] = "Welcome in Orbivox Shoutbox";

class CommunityEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        root.copyFixture("../../assets/LumenNews.png", paths::logo);
        root.copyFixture("../../assets/LumenNews2.png", paths::aboutLogo);
    }
    std::vector<std::string> run(const std::string& keys, const std::string& connectTo) {
        LumenhostRun run;
        run.root = root.dir();
        run.keys = keys;
        run.connectTo = connectTo;
        run.extra = {"--wait-timeout", "30"};
        LumenhostResult result = runLumenhost(run);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_FALSE(result.timedOut);
        return dumpmatch::splitDumps(result.out);
    }
    static std::string demoFile(const std::string& name) {
        std::ifstream in(std::string(LUMEN_DEMO_DATA) + "/files/" + name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    BoxRoot root;
};
}  // namespace

TEST_F(CommunityEndToEnd, PostedShoutAppearsAsTheServerStoredIt) {
    DemoServer server;
    // The list is longer than a page, so up and down scroll: right moves
    // from the input field to Send Shout.
    auto dumps = run("5 wait ok text:\"hello world & more\" ok right ok wait dump", server.connectTo());
    ASSERT_FALSE(dumps.empty());
    auto window = dumpmatch::window(dumps[0], kShoutbox);
    std::string text = dumpmatch::find(window, "eLabel").text();
    size_t rows = text.find("-\n");
    ASSERT_NE(rows, std::string::npos);
    // The newest shout comes first: time, three blanks, nickname, message.
    size_t first = text.find('\n', rows) + 1;
    EXPECT_EQ(text.find("   Guest  ->  hello_world_e_more             ", first), first + 5) << text;
    EXPECT_EQ(dumpmatch::find(window, "eTextInputField").text(), "");
}

TEST_F(CommunityEndToEnd, DownloadFromThePluginsCategory) {
    DemoServer server;
    // Category list: Plugins is third; its first file is Weather Globe.
    auto dumps = run("1 down down ok wait ok wait dump ok wait dump ok dump", server.connectTo());
    ASSERT_EQ(dumps.size(), 4u);

    auto detail = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(detail.empty());
    EXPECT_EQ(detail.front()["title"], "Weather Globe 1.2\n");
    EXPECT_EQ(dumpmatch::focused(detail).text(), "Download");
    EXPECT_EQ(dumpmatch::find(detail, "eLabel").text().rfind("TITLE: Weather Globe 1.2\n\nBY: skyfixer", 0), 0u);

    auto box = dumpmatch::innermost(dumps[1]);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.front()["title"], "Download Completed");
    EXPECT_EQ(box.front()["flags"], "0x11");
    EXPECT_EQ(box.front()["message"],
              "File weatherglobe_1.2.tar.gz succesfully downloaded in your orbivox directory: /var/tmp/");
    EXPECT_EQ(root.read("/var/tmp/weatherglobe_1.2.tar.gz"), demoFile("weatherglobe_1.2.tar.gz"));

    // Back in the file list, with the focus on the list.
    auto files = dumpmatch::innermost(dumps[2]);
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front()["title"], "Plugins");
    EXPECT_EQ(dumpmatch::focused(files).kind, "eListBox");
}

