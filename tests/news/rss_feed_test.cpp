// The feed list window: the titles of the downloaded feed under its title.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>
#include "news/rssFeed.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/news/news_test_support.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

using newstest::findChild;

namespace {

using List = eListBox<eListBoxEntryText>;

class RssFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedLang = CORLANG;
        CORLANG = 1;
    }
    void TearDown() override { CORLANG = savedLang; }

    List* list() { return findChild<List>(&feed); }
    std::vector<std::pair<int, std::string>> entries() {
        std::vector<std::pair<int, std::string>> out;
        for (eListBoxEntry* e : list()->getEntries()) {
            auto* text = static_cast<eListBoxEntryText*>(e);
            out.emplace_back(text->getKey(), text->getText());
        }
        return out;
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
    rssFeed feed;
    int savedLang = 1;
};

}  // namespace

TEST_F(RssFeedTest, ListsTitlesKeyedByIndexUnderTheFeedTitle) {
    root.copyFixture("news/two_channels.rss", paths::feedFile);
    feed.printRSSFeed("Latest News");
    EXPECT_EQ(feed.getText(), "Latest News");
    EXPECT_EQ(entries(), (std::vector<std::pair<int, std::string>>{
                             {0, "First of channel one"}, {1, "Second of channel one"}, {2, "Only of channel two"}}));
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_TRUE(root.exists(paths::feedFile));
}

TEST_F(RssFeedTest, SecondFeedReplacesTheFirstsEntries) {
    root.copyFixture("news/two_channels.rss", paths::feedFile);
    feed.printRSSFeed("Latest News");
    root.copyFixture("news/no_items.rss", paths::feedFile);
    feed.printRSSFeed("Ultime Notizie");
    EXPECT_EQ(feed.getText(), "Ultime Notizie");
    EXPECT_EQ(list()->getCount(), 0);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RssFeedTest, MissingFeedGivesItsBoxAndAnEmptyList) {
    root.copyFixture("news/two_channels.rss", paths::feedFile);
    feed.printRSSFeed("Latest News");
    std::remove(root.path(paths::feedFile).c_str());
    feed.printRSSFeed("Latest News");
    EXPECT_EQ(list()->getCount(), 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "RSS file not found");
}
