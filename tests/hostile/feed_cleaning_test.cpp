// Feeds built against the RSS parser: entities escaped once per nesting
// level, dates of nested "+0100", titles, items and root names far past
// what a list or a box can show. Each feed is generated here.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include "news/RSSParser.h"
#include "news/feed_reading.h"
#include "settings/paths.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

std::string repeat(const std::string& unit, size_t times) {
    std::string text;
    while (times--) text += unit;
    return text;
}

class HostileFeed : public ::testing::Test {
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

TEST_F(HostileFeed, NestedEscapesAndLongTitlesCleanLikeShortOnes) {
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

TEST_F(HostileFeed, ItemsPastTheLimitAreDropped) {
    parse(repeat("<item><title>t</title></item>", feedreading::maxItems + 500));
    ASSERT_EQ(parser.items.size(), feedreading::maxItems);
    EXPECT_EQ(parser.items.back().index, static_cast<int32_t>(feedreading::maxItems) - 1);
}

TEST_F(HostileFeed, DescriptionsShareOneBudget) {
    // ISO-8859-1 high bytes double in UTF-8: 20 x 240 KB of text from 2.4 MB.
    parse(repeat("<item><description>" + std::string(120000, '\xE4') + "</description></item>", 20), "rss",
          "ISO-8859-1");
    ASSERT_EQ(parser.items.size(), 20u);
    size_t total = 0;
    for (const NewsItem& item : parser.items) total += item.description.size();
    EXPECT_EQ(total, feedreading::maxDescriptionTotal);
}

TEST_F(HostileFeed, UnknownRootBoxNamesTheRootWhole) {
    for (size_t length : {size_t(41), size_t(200), feedreading::maxShownRootName}) {
        const std::string name = "x:" + std::string(length - 2, 'r');
        boxes.clear();
        parse("", name);
        ASSERT_EQ(boxes.boxes().size(), 1u) << length;
        EXPECT_EQ(boxes.boxes()[0].text, "Unknown file format (" + name + ")");
    }
}
