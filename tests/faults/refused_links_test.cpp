// Article links that the plug-in must not follow: a feed item's link is
// the server's to choose, but only http:// and https:// addresses are
// requested. Anything else, an RSS 1.0 item's missing link included, is
// refused at once with the fetcher's "Error downloading" box, and the
// detail window keeps waiting.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include "settings/lang.h"
#include "tests/faults/fault_scene.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"

using namespace faults;
namespace fs = std::filesystem;

namespace {

const char* const kFirstLink =
    "http://news.corvane.example/lumennews/index.php?op=article&amp;sid=101&amp;Itemid=99999999";

// A copy of the demo data whose first English item links to `link`.
class DataWithLink {
public:
    explicit DataWithLink(const std::string& link) {
        char pattern[] = "/tmp/lumen-data-XXXXXX";
        dir = mkdtemp(pattern);
        fs::copy(LUMEN_DEMO_DATA, dir, fs::copy_options::recursive);
        std::string feedPath = dir + "/feeds/english.xml";
        std::ifstream in(feedPath);
        std::stringstream content;
        content << in.rdbuf();
        std::string feed = content.str();
        feed.replace(feed.find(kFirstLink), std::string(kFirstLink).size(), link);
        std::ofstream(feedPath, std::ios::trunc) << feed;
    }
    ~DataWithLink() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string dir;
};

struct LinkCase {
    const char* name;
    const char* link;      // in the English feed; nullptr: an Italian (RSS 1.0) item
    const char* message;   // of the box
};

class RefusedLinks : public ::testing::TestWithParam<LinkCase> {};

}  // namespace

TEST_P(RefusedLinks, AreNotRequestedAndTheDetailWindowKeepsWaiting) {
    const LinkCase& c = GetParam();
    FaultScene scene;
    std::unique_ptr<DataWithLink> data;
    std::vector<std::string> options;
    if (c.link) {
        data = std::make_unique<DataWithLink>(c.link);
        options = {"--data", data->dir};
    }
    DemoServer server(options);
    std::string entry = c.link ? "2" : "3";
    LumenhostResult result = scene.run(entry + " wait ok wait dump ok wait dump", server.connectTo());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto dumps = dumpmatch::splitDumps(result.out);
    ASSERT_GE(dumps.size(), 2u) << result.out;

    expectBox(dumps[0], c.message, "Details", "0x01");
    auto detail = dumpmatch::innermost(dumps[1]);
    ASSERT_FALSE(detail.empty());
    EXPECT_EQ(detail.front()["title"], "") << dumps[1];
    EXPECT_TRUE(dumpmatch::find(detail, "eLabel", LangT(29, 1))) << dumps[1];
    // Only the feed's own file: no article page was written.
    EXPECT_EQ(scene.filesIn("/var/tmp"), std::vector<std::string>{"rss.tmp"});
    EXPECT_EQ(scene.partFiles(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    OtherSchemes, RefusedLinks,
    ::testing::Values(LinkCase{"LocalFile", "file:///etc/passwd", "Error downloading file:///etc/passwd(-1)"},
                      LinkCase{"Ftp", "ftp://news.corvane.example/x", "Error downloading ftp://news.corvane.example/x(-1)"},
                      LinkCase{"Relative", "/lumennews/index.php?op=article&amp;sid=101",
                               "Error downloading /lumennews/index.php?op=article&sid=101(-1)"},
                      LinkCase{"MissingInRss1", nullptr, "Error downloading (-1)"}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });
