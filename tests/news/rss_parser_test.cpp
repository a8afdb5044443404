// The RSS parser on every feed fixture (tests/data/news, one quirk per
// file; tests/data/net, documents the host's XML parser refuses), then on
// feeds generated here: entities escaped once per nesting level, dates of
// nested "+0100", titles, items and root names far past what a list or a
// box can show.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include "news/RSSParser.h"
#include "news/feed_reading.h"
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/reader_run.h"

TEST(RssParser, EachFixtureChangesWhatItsNameSays) {
    const auto title = &NewsItem::title, date = &NewsItem::date, link = &NewsItem::link;
    const auto description = &NewsItem::description;
    const std::string xmlError = "Error: XML parse error (general xml) (33)", cafe = "Caf\xC3\xA9 opening";
    const std::string threeItems = "Item 1|Item 3|Item 2", twoItems = "Item 1|Item 2";
    const std::string site = "http://news.corvane.example/";
    const struct { const char* fixture; size_t count; eString NewsItem::*field; std::string values, box; } cases[] = {
        {"", 0, title, "", "Error: RSS file not found (33)"},
        {"news/atom_root.xml", 0, title, "", "Error: Unknown file format (feed) (33)"},
        // Elements too big for the parser are dropped, with what they hold.
        {"news/attribute_70kb.rss", 3, title, threeItems, ""}, {"news/attributes_300.rss", 3, title, threeItems, ""},
        {"news/element_name_1100_bytes.rss", 3, title, threeItems, ""},
        {"news/element_past_attribute_limit.rss", 2, title, twoItems, ""},
        {"news/comment_200kb.rss", 2, title, twoItems, ""},
        {"news/processing_instruction_200kb.rss", 2, title, twoItems, ""},
        {"news/broken_in_second_chunk.rss", 0, title, "", xmlError},
        {"news/exactly_2048_bytes.rss", 1, title, "Exactly one chunk", ""},
        {"news/exactly_2048_bytes_unclosed.rss", 0, title, "", xmlError},
        {"news/description_with_markup.rss", 2, description, "Caf\xC3\xA9news|<br>", ""},
        {"news/entities_in_titles.rss", 3, title, "Tom \xC3\xA4|Tom \xC3\xA4|Fish 'n' Chips ", ""},
        // One per encoding handed on; how declarations map to them: feed_encoding_test.cpp.
        {"news/latin1_accents.rss", 1, title, cafe, ""}, {"news/utf8_lower.rss", 1, title, cafe, ""},
        {"news/links_with_blanks.rss", 2, link, "  " + site + "index.php?op=read&id=7&Itemid=99999999  |" + site +
         "index.php?op=read&id=8", ""},
        {"news/missing_element_middle.rss", 3, title, "First|Second|", ""},
        {"news/missing_element_middle.rss", 3, date, "Mon, 06 Jan 2025||", ""},
        {"news/missing_element_middle.rss", 3, link, site + "1||" + site + "3", ""},
        {"news/missing_element_middle.rss", 3, description, "One||Three", ""}, {"news/no_items.rss", 0, title, "", ""},
        {"news/pubdate_plus0100.rss", 3, date,
         "Mon, 06 Jan 2025 10:00:00 |Mon, 06 Jan 2025 10:00:00 +0200|Mon, 06 Jan 2025 09:00:00 GMT", ""},
        {"news/rss1.rdf", 2, title, "Receiver firmware 2.1 released|Dish alignment guide", ""},
        {"news/rss1.rdf", 2, description, "New menus and faster zapping|Step by step", ""},
        // RSS 1.0 links and dates are not used.
        {"news/rss1.rdf", 2, link, "|", ""}, {"news/rss1.rdf", 2, date, "|", ""},
        {"news/titles_over_two_lines.rss", 2, title, "HelloWorld|HelloWorld", ""},
        {"news/two_channels.rss", 3, title, "First of channel one|Second of channel one|Only of channel two", ""},
        {"net/entity_bomb_internal_subset.xml", 0, title, "", xmlError},
        {"net/external_entity_internal_subset.xml", 0, title, "", xmlError},
        {"net/external_doctype.xml", 0, title, "", ""},  // parsed without fetching the DTD
        {"net/latin1_bytes_declared_utf8.xml", 0, title, "", xmlError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        RSSParser parser;
        parser.items.push_back(NewsItem{7, "stale", "", "", ""});  // a parse starts afresh
        ReaderRun run = runReader(c.fixture, paths::feedFile, 1, [&] { parser.parse(paths::feedFile); });
        EXPECT_EQ(parser.items.size(), c.count);
        EXPECT_EQ(joined(parser.items, c.field), c.values);
        EXPECT_EQ(run.boxes, c.box);
        EXPECT_EQ(run.fileKept, *c.fixture != '\0');  // the feed list reads it again
        int32_t index = 0;
        for (const NewsItem& item : parser.items) EXPECT_EQ(item.index, index++);
    }
}

// Apart: the big-endian box builds have no iconv module for it and skip
// this test by name.
TEST(RssParser, Windows1252DeclaredFeedReadsAsLatin1) {
    RSSParser parser;
    runReader("news/windows1252_declared.rss", paths::feedFile, 1, [&] { parser.parse(paths::feedFile); });
    EXPECT_EQ(joined(parser.items, &NewsItem::title), "Caf\xC3\xA9 opening");
}

namespace {

std::string repeat(const std::string& unit, size_t times) {
    std::string text;
    while (times--) text += unit;
    return text;
}

class FeedLimits : public ::testing::Test {
protected:
    void parse(const std::string& body, const std::string& root = "rss", const std::string& encoding = "UTF-8") {
        box.write(paths::feedFile, "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><" + root + "><channel>" +
                                       body + "</channel></" + root + ">");
        parser.parse(box.path(paths::feedFile));
    }
    BoxRoot box;
    MessageBoxAnswerer boxes;
    RSSParser parser;
};

}  // namespace

TEST_F(FeedLimits, NestedEscapesAndLongTitlesCleanLikeShortOnes) {
    const std::string nested = "&amp;" + repeat("amp;", 60000);  // "&" escaped 60000 times over
    const std::string filler = repeat("&amp;", 1000) + nested + "x";
    const std::tuple<std::string, eString NewsItem::*, std::string, std::string> cases[] = {
        {"link", &NewsItem::link, nested + "x", "&x"},
        {"description", &NewsItem::description, nested + "&lt;b&gt;x&lt;/b&gt;", "&x"},
        {"link", &NewsItem::link, filler, std::string(1001, '&') + "x"},
        {"description", &NewsItem::description, filler, std::string(1001, '&') + "x"},
        {"pubDate", &NewsItem::date, repeat("+0", 50000) + repeat("100", 50000) + " GMT", " GMT"},
        // Past the limits: texts are cut, never inside a character; links go.
        {"title", &NewsItem::title, "x" + repeat("\xC3\xA4", 1000),
         "x" + repeat("\xC3\xA4", (feedreading::maxTitleBytes - 1) / 2)},
        {"pubDate", &NewsItem::date, std::string(1000, 'D'), std::string(feedreading::maxDateBytes, 'D')},
        // Never cut inside an entity the cleaning left alone; an "&" that
        // opens none stays.
        {"title", &NewsItem::title, std::string(253, 't') + "&amp;#x2603;", std::string(253, 't')},
        {"title", &NewsItem::title, std::string(250, 't') + "&amp;bogus;t", std::string(250, 't')},
        {"title", &NewsItem::title, std::string(254, 't') + "&amp;#169;t", std::string(254, 't') + "\xC2\xA9"},
        {"title", &NewsItem::title, std::string(250, 't') + "Tom &amp; Jerry", std::string(250, 't') + "Tom & "},
        {"pubDate", &NewsItem::date, std::string(120, 'D') + "&amp;#x1F600;", std::string(120, 'D')},
        {"link", &NewsItem::link, "http://x/" + std::string(feedreading::maxLinkBytes, 'l'), ""},
    };
    for (const auto& [element, field, xml, want] : cases) {
        parse("<item><" + element + ">" + xml + "</" + element + "></item>");
        ASSERT_EQ(parser.items.size(), 1u) << element;
        EXPECT_EQ(parser.items.front().*field, want) << element << " of " << xml.size() << " bytes";
    }
}

TEST_F(FeedLimits, ItemsPastTheLimitAreDropped) {
    parse(repeat("<item><title>t</title></item>", feedreading::maxItems + 500));
    ASSERT_EQ(parser.items.size(), feedreading::maxItems);
    EXPECT_EQ(parser.items.back().index, static_cast<int32_t>(feedreading::maxItems) - 1);
}

TEST_F(FeedLimits, AFileLargerThanAFeedIsRefusedLikeASyntaxError) {
    parse("<item><description>" + std::string(feedreading::maxFeedBytes, 'd') + "</description></item>");
    EXPECT_TRUE(parser.items.empty());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "XML parse error (general xml)");
}

TEST_F(FeedLimits, DescriptionsShareOneBudget) {
    // ISO-8859-1 high bytes double in UTF-8: 20 x 240 KB of text from 2.4 MB.
    parse(repeat("<item><description>" + std::string(120000, '\xE4') + "</description></item>", 20), "rss",
          "ISO-8859-1");
    ASSERT_EQ(parser.items.size(), 20u);
    size_t total = 0;
    for (const NewsItem& item : parser.items) total += item.description.size();
    EXPECT_EQ(total, feedreading::maxDescriptionTotal);
}

TEST_F(FeedLimits, UnknownRootBoxNamesTheRootWhole) {
    for (size_t length : {size_t(41), size_t(200), feedreading::maxShownRootName}) {
        const std::string name = "x:" + std::string(length - 2, 'r');
        boxes.clear();
        parse("", name);
        ASSERT_EQ(boxes.boxes().size(), 1u) << length;
        EXPECT_EQ(boxes.boxes()[0].text, "Unknown file format (" + name + ")");
    }
}
