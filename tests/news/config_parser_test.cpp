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

TEST_F(ConfigParserTest, FeedsAreReadWithDecodedNamesAndUnchangedUrls) {
    EXPECT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    auto list = items();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].index, 0);
    EXPECT_EQ(list[0].name, "Corvane \xC3\xA4");
    EXPECT_EQ(list[0].url, "http://news.corvane.example/index.php?op=outmerss&amp;tn=3");
    EXPECT_EQ(list[1].index, 1);
    EXPECT_EQ(list[1].name, "Second");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ConfigParserTest, SecondParseAppendsNumberedFromZeroAgain) {
    ASSERT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    ASSERT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    auto list = items();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2].index, 0);
    EXPECT_EQ(list[3].index, 1);
    EXPECT_EQ(list[3].name, "Second");
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

TEST_F(ConfigParserTest, RssRootIsAnInvalidConfigfile) {
    ASSERT_EQ(parser.parse(fixture("feeds_two.xml")), 1);
    EXPECT_EQ(parser.parse(fixture("feeds_rss_root.xml")), 0);
    expectOneAbortBox("Invalid configfile");
    EXPECT_EQ(parser.items.size(), 2u);  // earlier feeds stay
}

TEST_F(ConfigParserTest, BrokenXmlIsAParseError) {
    EXPECT_EQ(parser.parse(fixture("feeds_broken.xml")), 0);
    expectOneAbortBox("Configfile parse error");
    EXPECT_TRUE(parser.items.empty());
}

TEST_F(ConfigParserTest, MissingFileIsReported) {
    EXPECT_EQ(parser.parse("/var/tmp/feeds.xml"), 0);
    expectOneAbortBox("Config file not found");
}
