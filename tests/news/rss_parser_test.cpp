// RSSParser on feeds of our own, one quirk per file.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "news/RSSParser.h"
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

std::string fixture(const std::string& name) { return std::string(LUMEN_TEST_DATA) + "/news/" + name; }

class RssParserTest : public ::testing::Test {
protected:
    // Parses a fixture; the items as a vector for indexing.
    std::vector<NewsItem> parse(const std::string& name) {
        parser.parse(fixture(name));
        return {parser.items.begin(), parser.items.end()};
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const NewsItem& item : parser.items) out.push_back(item.title);
        return out;
    }
    void expectOneErrorBox(const std::string& text) {
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, text);
        EXPECT_EQ(boxes.boxes()[0].caption, "Error");
        EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
    RSSParser parser;
};

}  // namespace

TEST_F(RssParserTest, ItemsOfTwoChannelsAreNumberedStraightThrough) {
    auto items = parse("two_channels.rss");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(titles(), (std::vector<std::string>{"First of channel one", "Second of channel one",
                                                   "Only of channel two"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i].index, i);
    EXPECT_EQ(items[2].link, "http://news.corvane.example/b1");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RssParserTest, Rss1ItemsHaveNoDateAndNoLink) {
    auto items = parse("rss1.rdf");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].title, "Receiver firmware 2.1 released");
    EXPECT_EQ(items[0].description, "New menus and faster zapping");
    EXPECT_EQ(items[0].date, "");
    EXPECT_EQ(items[0].link, "");
    EXPECT_EQ(items[1].index, 1);
    EXPECT_EQ(items[1].link, "");
}

TEST_F(RssParserTest, DeclaredUtf8AndLatin1BytesBothComeOutAsUtf8) {
    for (const char* name : {"utf8_lower.rss", "utf8_upper.rss", "utf8_single_quotes.rss", "latin1_accents.rss",
                             "windows1252_declared.rss", "no_declaration.rss"}) {
        auto items = parse(name);
        ASSERT_EQ(items.size(), 1u) << name;
        EXPECT_EQ(items[0].title, "Caf\xC3\xA9 opening") << name;
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RssParserTest, AtomRootIsAnUnknownFormat) {
    parse("atom_root.xml");
    EXPECT_TRUE(parser.items.empty());
    expectOneErrorBox("Unknown file format (feed)");
}

TEST_F(RssParserTest, BrokenXmlInSecondChunkLeavesNoItems) {
    parse("broken_in_second_chunk.rss");
    EXPECT_TRUE(parser.items.empty());
    expectOneErrorBox("XML parse error (general xml)");
}

TEST_F(RssParserTest, FileOfExactlyOneChunkIsFinishedWithAnEmptyLastChunk) {
    auto items = parse("exactly_2048_bytes.rss");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].title, "Exactly one chunk");
    EXPECT_TRUE(boxes.boxes().empty());
    // The missing end tag is only noticed when a last chunk follows.
    parse("exactly_2048_bytes_unclosed.rss");
    EXPECT_TRUE(parser.items.empty());
    expectOneErrorBox("XML parse error (general xml)");
}

TEST_F(RssParserTest, EscapedEntitiesInTitlesAreDecoded) {
    parse("entities_in_titles.rss");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Tom \xC3\xA4", "Tom \xC3\xA4", "Fish 'n' Chips "}));
}

TEST_F(RssParserTest, TitleLinesAreJoinedWithoutBlank) {
    parse("titles_over_two_lines.rss");
    EXPECT_EQ(titles(), (std::vector<std::string>{"HelloWorld", "HelloWorld"}));
}

TEST_F(RssParserTest, PubDateLosesOnlyPlus0100) {
    auto items = parse("pubdate_plus0100.rss");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].date, "Mon, 06 Jan 2025 10:00:00 ");
    EXPECT_EQ(items[1].date, "Mon, 06 Jan 2025 10:00:00 +0200");
    EXPECT_EQ(items[2].date, "Mon, 06 Jan 2025 09:00:00 GMT");
}

TEST_F(RssParserTest, LinksKeepBlanksAndLoseLineBreaksAndEscapedAmpersands) {
    auto items = parse("links_with_blanks.rss");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].link, "  http://news.corvane.example/index.php?op=read&id=7&Itemid=99999999  ");
    EXPECT_EQ(items[1].link, "http://news.corvane.example/index.php?op=read&id=8");
}

TEST_F(RssParserTest, MissingElementLeavesItsFieldEmpty) {
    auto items = parse("missing_element_middle.rss");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].title, "Second");
    EXPECT_EQ(items[1].link, "");
    EXPECT_EQ(items[1].description, "");
    EXPECT_EQ(items[1].date, "");
    EXPECT_EQ(items[2].title, "");
    EXPECT_EQ(items[2].link, "http://news.corvane.example/3");
}

TEST_F(RssParserTest, DescriptionLosesTagsUnlessNothingElseIsLeft) {
    auto items = parse("description_with_markup.rss");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].description, "Caf\xC3\xA9news");
    EXPECT_EQ(items[1].description, "<br>");
}

TEST_F(RssParserTest, FeedWithoutItemsIsNoError) {
    parse("no_items.rss");
    EXPECT_TRUE(parser.items.empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RssParserTest, SecondFileReplacesTheItemsAndAFailingOneOrAMissingFileLeavesNone) {
    parse("two_channels.rss");
    auto items = parse("pubdate_plus0100.rss");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].title, "a");
    EXPECT_EQ(items[0].index, 0);
    parse("atom_root.xml");
    EXPECT_TRUE(parser.items.empty());
    parse("two_channels.rss");
    boxes.clear();
    parser.parse(paths::feedFile);
    EXPECT_TRUE(parser.items.empty());
    expectOneErrorBox("RSS file not found");
}
