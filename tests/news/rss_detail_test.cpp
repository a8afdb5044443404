// The news detail window: the article download and the page scrolling.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "news/rssDetail.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/news/news_test_support.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

using newstest::numberedLines;
using newstest::runUntil;

namespace {

class RssDetailTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedLang = CORLANG;
        CORLANG = 1;
    }
    void TearDown() override {
        detail.reset();
        CORLANG = savedLang;
    }

    // Opens the window on `path` of the server and waits for the article.
    void open(const std::string& link) {
        detail = std::make_unique<rssDetail>("title", "description", "date", link.c_str());
        ASSERT_TRUE(runUntil([&] { return detail->getText() == LangT(28, CORLANG); }))
            << "the article download did not complete";
    }
    // Opens a window on a small article, for its geometry.
    void openSmall() {
        server.serve("/page", "x\n");
        open(server.url("/page"));
    }
    // Replaces the text by `lines` short lines.
    void setLines(int lines) {
        detail->textLabel()->setText(numberedLines(lines));
        detail->updateScrollbar();
    }
    int page() const { return detail->visibleArea()->getSize().height(); }
    int linesPerPage() const {
        float line = fontRenderClass::getInstance()->getLineHeight(detail->textLabel()->getFont());
        return static_cast<int>(page() / line);
    }
    int offset() const { return detail->textLabel()->getPosition().y; }
    void key(int code, int flags = 0) {
        eRCKey k{code, flags};
        detail->eventHandler(eWidgetEvent(eWidgetEvent::evtKey, &k));
    }
    void expectBar(int start, int size) {
        EXPECT_EQ(detail->scrollbar()->getStart(), start);
        EXPECT_EQ(detail->scrollbar()->getPerc(), size);
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
    LoopbackServer server;
    std::unique_ptr<rssDetail> detail;
    int savedLang = 1;
};

}  // namespace

TEST_F(RssDetailTest, WaitsWithText29UntilTheArticleArrives) {
    server.stall("/slow");
    detail = std::make_unique<rssDetail>("t", "d", "p", server.url("/slow").c_str());
    ASSERT_TRUE(runUntil([&] { return server.requestCount() == 1; }));
    EXPECT_EQ(detail->getText(), "");
    EXPECT_EQ(detail->textLabel()->getText(), LangT(29, 1));
    EXPECT_EQ(detail->scrollRange(), 0);
    expectBar(0, 100);
}

TEST_F(RssDetailTest, ShowsTheExtractedArticleWithoutTheItemidParameter) {
    server.serve("/article", "Dish alignment guide\nAdmin\n");
    open(server.url("/article?id=2&Itemid=99999999&Itemid=99999999"));
    EXPECT_EQ(detail->textLabel()->getText(), "TITLE: Dish alignment guide\n\nBY: Admin\n");
    EXPECT_EQ(detail->getText(), "Read News");
    EXPECT_TRUE(detail->textLabel()->hasFocus());
    EXPECT_FALSE(root.exists(paths::articleFile));
    ASSERT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(server.requests()[0].path, "/article?id=2");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RssDetailTest, LateSecondCompletionIsIgnored) {
    server.serve("/article", "First\n");
    open(server.url("/article"));
    root.write(paths::articleFile, "Second\n");
    detail->downloadDone2(0);
    EXPECT_EQ(detail->textLabel()->getText(), "TITLE: First\n");
    EXPECT_TRUE(root.exists(paths::articleFile));
}

TEST_F(RssDetailTest, ArticleLongerThanFourteenPagesIsShownToItsEnd) {
    std::string page;
    for (int i = 0; i < 1200; ++i) page += "line " + std::to_string(i) + "\n";
    server.serve("/long", page);
    open(server.url("/long"));
    eLabel* text = detail->textLabel();
    int height = text->getExtend().height();
    ASSERT_GT(height, 14 * this->page());
    EXPECT_GE(text->getSize().height(), height);
    EXPECT_EQ(text->getSize().height() % this->page(), 0);
    // The last page is reached and still holds text.
    while (detail->scrollRange() && offset() - this->page() >= -(detail->scrollRange() - this->page()))
        key(rcPageDown);
    EXPECT_EQ(offset(), -(detail->scrollRange() - this->page()));
    EXPECT_LT(-offset(), height);
}

TEST_F(RssDetailTest, VisibleAreaIsWholeLinesPlusATwelfth) {
    openSmall();
    float line = fontRenderClass::getInstance()->getLineHeight(detail->textLabel()->getFont());
    int twelfth = static_cast<int>(line / 12.0);
    int lines = linesPerPage();
    ASSERT_GE(lines, 1);
    EXPECT_EQ(page(), static_cast<int>(lines * line) + twelfth);
    EXPECT_LE(page(), detail->getClientSize().height() - 56);
    EXPECT_EQ(detail->textLabel()->getSize().height(), 14 * page());
}

TEST_F(RssDetailTest, PageKeysMoveByWholePagesWithinTheRangeAndTheBarFollows) {
    openSmall();
    const int n = linesPerPage();
    ASSERT_GE(n, 2);
    // Per key press (+1 page down, -1 page up): the page shown after it and the bar's start.
    struct Case { int lines, pages, barSize; std::vector<int> keys, shown, barStarts; };
    const Case cases[] = {
        {n, 0, 100, {+1, -1}, {0, 0}, {0, 0}},                              // fits: no scrolling
        {2 * n, 2, 50, {+1, +1, -1, -1}, {1, 1, 0, 0}, {50, 50, 0, 0}},      // held at both ends
        {2 * n + n / 2, 3, 33, {+1, +1, +1}, {1, 2, 2}, {33, 66, 66}},       // a part page counts whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        setLines(c.lines);
        EXPECT_EQ(detail->scrollRange(), c.pages * page());
        expectBar(0, c.barSize);
        for (size_t i = 0; i < c.keys.size(); ++i) {
            key(c.keys[i] > 0 ? rcPageDown : rcPageUp);
            EXPECT_EQ(offset(), -c.shown[i] * page()) << "after key " << i;
            expectBar(c.barStarts[i], c.barSize);
        }
    }
}

TEST_F(RssDetailTest, OnlyPressesOfThePageKeysScroll) {
    openSmall();
    setLines(3 * linesPerPage());
    key(rcPageDown, 1);  // a repeat
    key(rcPageDown, 2);  // a release
    key(rcDown);
    EXPECT_EQ(offset(), 0);
    key(rcPageDown);
    EXPECT_EQ(offset(), -page());
}
