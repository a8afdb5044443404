// The news feeds and the article pages behind their links.
#include <gtest/gtest.h>

#include <regex>

#include "tests/demo/client.h"
#include "tests/demo/plugin_view.h"

namespace {

const std::string base = "http://news.corvane.example";
const std::string itemid = "&Itemid=99999999";

std::vector<std::string> all(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

std::string xmlText(std::string text) {
    return std::regex_replace(text, std::regex("&amp;"), "&");
}

class Feeds : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new DemoServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static DemoServer* server;
};
DemoServer* Feeds::server = nullptr;

TEST_F(Feeds, EnglishFeedIsRss2WithTheQuirksTheParserMustHandle) {
    auto res = fetch(*server, std::string(script) + "?op=outmerss");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    const std::string& xml = res->body;
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u);
    EXPECT_NE(xml.find("<rss version=\"2.0\">\n<channel>"), std::string::npos);
    auto items = all(xml, "<item>([\\s\\S]*?)</item>");
    ASSERT_GE(items.size(), 5u);
    bool twoLineTitle = false, plus0100 = false;
    for (const std::string& item : items) {
        auto titles = all(item, "<title>([\\s\\S]*?)</title>");
        ASSERT_EQ(titles.size(), 1u) << item;
        twoLineTitle |= titles[0].find('\n') != std::string::npos;
        auto dates = all(item, "<pubDate>(.*)</pubDate>");
        ASSERT_EQ(dates.size(), 1u) << item;
        plus0100 |= dates[0].size() > 6 && dates[0].compare(dates[0].size() - 6, 6, " +0100") == 0;
        EXPECT_EQ(all(item, "<description>(.*)</description>").size(), 1u) << item;
    }
    EXPECT_TRUE(twoLineTitle);
    EXPECT_TRUE(plus0100);
    // Entities escaped twice, which the parser has to undo after the XML parser.
    EXPECT_NE(xml.find("&amp;auml;"), std::string::npos);
    EXPECT_NE(xml.find("&amp;quot;"), std::string::npos);
    EXPECT_NE(xml.find("&amp;hellip;"), std::string::npos);
    EXPECT_NE(xml.find("Liège"), std::string::npos);  // plain UTF-8
}

TEST_F(Feeds, EveryLinkCarriesTheItemidAndLeadsToAnArticleWithOrWithoutIt) {
    auto res = fetch(*server, std::string(script) + "?op=outmerss");
    ASSERT_TRUE(res);
    auto links = all(res->body, "<link>(.*)</link>");
    ASSERT_GE(links.size(), 6u);  // the channel's own and one per item
    int articles = 0;
    for (const std::string& escaped : links) {
        std::string link = xmlText(escaped);
        ASSERT_EQ(link.rfind(base + "/", 0), 0u) << link;
        if (link == base + "/lumennews/") continue;  // the channel's link
        ASSERT_GE(link.size(), itemid.size());
        EXPECT_EQ(link.substr(link.size() - itemid.size()), itemid) << link;
        std::string withId = link.substr(base.size());
        std::string withoutId = withId.substr(0, withId.size() - itemid.size());
        auto a = fetch(*server, withId);
        auto b = fetch(*server, withoutId);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->status, 200) << withId;
        EXPECT_EQ(b->status, 200) << withoutId;
        EXPECT_EQ(a->body, b->body);
        // Title, author, third line, read count, then at least one body line.
        auto kept = view::articleLines(b->body);
        ASSERT_GE(kept.size(), 5u) << withoutId;
        EXPECT_NE(kept[3].find_first_of("0123456789"), std::string::npos) << kept[3];
        EXPECT_EQ(kept[3].find_first_not_of("0123456789\n"), std::string::npos) << kept[3];
        ++articles;
    }
    EXPECT_GE(articles, 5);
}

TEST_F(Feeds, ArticlesRangeFromOneScreenToSeveralPages) {
    size_t longest = 0, shortest = SIZE_MAX;
    for (int sid = 101; sid <= 106; ++sid) {
        auto res = fetch(*server, std::string(script) + "?op=article&sid=" + std::to_string(sid));
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 200) << sid;
        size_t shown = 0;
        for (const std::string& piece : view::articleLines(res->body))
            shown += static_cast<size_t>(std::count(piece.begin(), piece.end(), '\n'));
        longest = std::max(longest, shown);
        shortest = std::min(shortest, shown);
        // No markup but the three line-break tags: the reader shows other tags as text.
        for (const std::string& piece : view::articleLines(res->body))
            EXPECT_EQ(std::regex_search(piece, std::regex("<[a-zA-Z/]")), false) << sid << ": " << piece;
    }
    // About 20 lines fit one page of the detail window.
    EXPECT_GE(longest, 60u);
    EXPECT_LE(shortest, 12u);
}

TEST_F(Feeds, ItalianFeedIsRss1InIso88591) {
    auto res = fetch(*server, std::string(script) + "?op=outmerss&tn=3");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->get_header_value("Content-Type").find("ISO-8859-1"), std::string::npos);
    const std::string& xml = res->body;
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<rdf:RDF", 0), 0u);
    // Items sit directly under the root, after the channel has closed.
    size_t channelEnd = xml.find("</channel>");
    ASSERT_NE(channelEnd, std::string::npos);
    EXPECT_GE(all(xml.substr(channelEnd), "<item ([^>]*)>").size(), 3u);
    EXPECT_NE(xml.find("pi\xF9 veloce"), std::string::npos);  // ù as one Latin-1 byte
    EXPECT_EQ(xml.find("\xC3"), std::string::npos);           // and no UTF-8 anywhere
}

}  // namespace
