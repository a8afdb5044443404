// ConfigParser: the XML list of feeds.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "news/ConfigParser.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

std::string fixture(const std::string& name) { return std::string(LUMEN_TEST_DATA) + "/news/" + name; }

class ConfigParserTest : public ::testing::Test {
protected:
    std::vector<ConfigItem> items() const { return {parser.items.begin(), parser.items.end()}; }
    void expectOneAbortBox(const std::string& text) {
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, text);
        EXPECT_EQ(boxes.boxes()[0].caption, "User Abort");
        EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
    ConfigParser parser;
};

}  // namespace

TEST_F(ConfigParserTest, FeedsAreReadWithDecodedNamesAndUnchangedUrlsASecondParseAppendsFromZero) {
    EXPECT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    EXPECT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    auto list = items();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].name, "Corvane \xC3\xA4");
    EXPECT_EQ(list[0].url, "http://news.corvane.example/index.php?op=outmerss&amp;tn=3");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i].index, i % 2);
    EXPECT_EQ(list[3].name, "Second");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ConfigParserTest, RootWithoutFeedsAddsNothing) {
    EXPECT_EQ(parser.parse(fixture("feeds_empty.xml")), 1);
    EXPECT_TRUE(parser.items.empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ConfigParserTest, FeedWithoutUrlHasAnEmptyUrl) {
    EXPECT_EQ(parser.parse(fixture("feeds_missing_url.xml")), 1);
    auto list = items();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "Second");
    EXPECT_EQ(list[1].url, "");
}

TEST_F(ConfigParserTest, FailuresAreReportedInABoxAndKeepTheEarlierFeeds) {
    const std::pair<std::string, const char*> cases[] = {{fixture("feeds_rss_root.xml"), "Invalid configfile"},
                                                         {fixture("feeds_broken.xml"), "Configfile parse error"},
                                                         {"/var/tmp/feeds.xml", "Config file not found"}};
    ASSERT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    for (const auto& [file, box] : cases) {
        SCOPED_TRACE(file);
        boxes.clear();
        EXPECT_EQ(parser.parse(file), 0);
        expectOneAbortBox(box);
        EXPECT_EQ(parser.items.size(), 2u);
    }
}
