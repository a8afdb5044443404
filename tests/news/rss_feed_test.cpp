// The feed list window: titles of the downloaded feed, and the article of
// the confirmed title.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "emu/screen.h"
#include "news/rssDetail.h"
#include "news/rssFeed.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/news/news_test_support.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
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

std::string feedWithLinks(const std::vector<std::pair<std::string, std::string>>& items) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel>\n";
    for (const auto& [title, link] : items)
        xml += "<item><title>" + title + "</title><link>" + link + "</link></item>\n";
    return xml + "</channel></rss>\n";
}

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

TEST_F(RssFeedTest, ConfirmingTheThirdTitleShowsItsArticleAndExitLeaves) {
    LoopbackServer server;
    for (int i = 0; i < 3; ++i) server.serve("/a" + std::to_string(i), "Article " + std::to_string(i) + "\n");
    root.write(paths::feedFile, feedWithLinks({{"One", server.url("/a0")},
                                               {"Two", server.url("/a1")},
                                               {"Three", server.url("/a2")}}));
    feed.printRSSFeed("Latest News");

    // A scripted remote: down, down, OK on the list; green once the article
    // is shown; exit on the list again.
    std::string shown;
    int step = 0;
    int script = mainloop().addIdle([&] {
        const auto& stack = emu::execStack();
        if (stack.empty()) return false;
        if (stack.back() == &feed && step == 0) {
            step = 1;
            emu::deliverKey(rcDown);
            emu::deliverKey(rcDown);
            emu::deliverKey(rcOk);
            return true;
        }
        auto* detail = dynamic_cast<rssDetail*>(stack.back());
        if (detail && step == 1 && detail->getText() == LangT(28, 1)) {
            step = 2;
            shown = detail->textLabel()->getText();
            emu::deliverKey(rcGreen);
            return true;
        }
        if (stack.back() == &feed && step == 2) {
            step = 3;
            emu::deliverKey(rcExit);
            return true;
        }
        return false;
    });
    // Bounded: whatever happens, the window is closed after ten seconds.
    int guard = mainloop().addTimer(10000, [&] {
        for (eWidget* w : std::vector<eWidget*>(emu::execStack())) w->close(-2);
    });
    feed.show();
    int result = feed.exec();
    feed.hide();
    mainloop().removeIdle(script);
    mainloop().removeTimer(guard);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(step, 3);
    EXPECT_EQ(shown, "TITLE: Article 2\n");
    ASSERT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(server.requests()[0].path, "/a2");
    EXPECT_TRUE(boxes.boxes().empty());
}
