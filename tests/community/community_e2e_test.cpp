// The community entries of the plug-in, end to end: lumenhost runs the real
// plug-in against the demo community server (or a loopback server for
// replies the demo server never sends).
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include <string>
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"
#include "tests/support/loopback_server.h"
#include "tests/support/lumenhost_run.h"

namespace {
const char kShoutbox[] = "Welcome in Orbivox Shoutbox";
const char kStatistics[] = "Orbivox Daily News Statistics";

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
    static std::string label(const std::string& dump, const std::string& title) {
        return dumpmatch::find(dumpmatch::window(dump, title), "eLabel").text();
    }

    BoxRoot root;
};
}  // namespace

TEST_F(CommunityEndToEnd, ShoutboxShowsTheDemoShoutsInColumns) {
    DemoServer server;
    auto dumps = run("5 wait dump", server.connectTo());
    ASSERT_FALSE(dumps.empty());
    std::string text = label(dumps[0], kShoutbox);
    EXPECT_NE(text.find("  TIME           |  SHOUTER        ->         MESSAGE\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n21:47   dishwalker  ->  Firmware 3.2 runs fine on my twin box, zapping is really faster"
                        "             04/03/2025\n"),
              std::string::npos)
        << text;
    // Entities arrive decoded.
    EXPECT_NE(text.find("Cake & coffee for all!"), std::string::npos);
}

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

TEST_F(CommunityEndToEnd, SendingAnEmptyShoutExplainsHowToType) {
    DemoServer server;
    auto dumps = run("5 wait right ok dump ok", server.connectTo());
    ASSERT_FALSE(dumps.empty());
    auto box = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(box.empty()) << dumps[0];
    EXPECT_EQ(box.front()["title"], "Warning");
    EXPECT_EQ(box.front()["flags"], "0x21");
    EXPECT_EQ(box.front()["message"].rfind("Type your message into the textinput field before to send the Shout.", 0),
              0u);
}

TEST_F(CommunityEndToEnd, StatisticsShowTheNineLabelledValues) {
    DemoServer server;
    auto dumps = run("4 wait dump", server.connectTo());
    ASSERT_FALSE(dumps.empty());
    auto window = dumpmatch::window(dumps[0], kStatistics);
    ASSERT_FALSE(window.empty()) << dumps[0];
    std::string text;
    for (const auto& line : dumpmatch::all(window, "eLabel"))
        if (line.text().find("Total") != std::string::npos) text = line.text();
    // The connection counter counts this request too.
    ASSERT_EQ(text.rfind("Total connections to Lumen News:\t", 0), 0u) << text;
    size_t afterCount = text.find_first_not_of("0123456789", 33);
    ASSERT_GT(afterCount, 33u) << text;
    EXPECT_EQ(text.substr(afterCount),
              "\nTotal users that have visited today:\t117"
              "\nTotal number of published News:\t342"
              "\nTotal number of Uploaded Files:\t15"
              "\nTotal number of Shouts sent by users:\t2904"
              "\n" + std::string(38, '_') + "\n"
              "\nTop News:  Firmware 3.2 for the Orbivox receivers brings faster zapping"
              "\nReads:\t1532"
              "\nTop File:  weatherglobe_1.2.tar.gz"
              "\nDownloads:\t871");
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

TEST_F(CommunityEndToEnd, ServerFileNameLeavingTheDirectoryIsRefused) {
    LoopbackServer server;
    // One reply for both requests: as a category it lists one file, as a
    // detail it names "../evil".
    server.serve("/lumennews/index.php", "../evil\nEvil file\n");
    auto dumps = run("1 ok wait ok wait ok dump ok dump",
                     "news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    ASSERT_EQ(dumps.size(), 3u);
    auto box = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.front()["title"], "Warning");
    EXPECT_EQ(box.front()["message"], "The server sent an unusable file name.");

    // The details stay, and nothing was asked for or written.
    auto detail = dumpmatch::innermost(dumps[1]);
    ASSERT_FALSE(detail.empty());
    EXPECT_EQ(detail.front()["title"], "Evil file\n");
    EXPECT_EQ(dumpmatch::find(detail, "eLabel").text(), "TITLE: Evil file\n");
    for (const auto& request : server.requests())
        EXPECT_EQ(request.path.find("/lumennews/files/"), std::string::npos) << request.path;
    EXPECT_FALSE(root.exists("/var/evil"));
}

TEST_F(CommunityEndToEnd, DroppedDownloadKeepsTheOldFile) {
    DemoServer server({"--fault-op", "files", "--drop-half"});
    root.write("/var/tmp/weatherglobe_1.2.tar.gz", "the old download");
    auto dumps = run("1 down down ok wait ok wait ok wait dump ok dump", server.connectTo());
    ASSERT_EQ(dumps.size(), 3u);
    auto box = dumpmatch::innermost(dumps[0]);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.front()["title"], "User Abort");
    EXPECT_EQ(root.read("/var/tmp/weatherglobe_1.2.tar.gz"), "the old download");
    for (const auto& dump : dumps) EXPECT_EQ(dump.find("Download Completed"), std::string::npos);
    // The details come back.
    auto detail = dumpmatch::innermost(dumps[1]);
    ASSERT_FALSE(detail.empty());
    EXPECT_EQ(dumpmatch::find(detail, "eLabel").text().rfind("TITLE: Weather Globe 1.2", 0), 0u);
}
